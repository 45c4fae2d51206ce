// Demonstration windows over fixed sample state, for screenshots. Words after
// the flag anywhere on the command line choose variants: "keepprovider",
// "errorstate", "rich", "enhancing", "onboarding", "settings-bottom".
#pragma once

#include "shell/DiagnosticContext.h"

#include <QStringList>

namespace quorvane {

class ShowcaseMode {
public:
    static void run(const QStringList& arguments, const DiagnosticContext& context);
};

} // namespace quorvane
