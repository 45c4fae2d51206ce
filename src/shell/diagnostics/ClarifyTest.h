// The question parser, the follow-up message and system-prompt assembly, on fixed texts.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class ClarifyTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
