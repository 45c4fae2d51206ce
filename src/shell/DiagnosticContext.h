// What a diagnostic mode may use of the running application.
#pragma once

#include "state/AppState.h"

#include <functional>
#include <vector>

class QMenu;
class QWidget;

namespace quorvane {

struct DiagnosticContext {
    AppState& state;
    // A freshly built Dock menu, owned by the caller.
    std::function<QMenu*()> makeDockMenu;
    // Where the showcase keeps its windows so that they live as long as the application.
    std::vector<QWidget*>* showcaseWindows;
    // Runs the shut-down and quits with status 0.
    std::function<void()> terminate;
};

} // namespace quorvane
