// The Dock menu's items.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class MenuProbe {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
