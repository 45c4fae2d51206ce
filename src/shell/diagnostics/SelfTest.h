// One enhancement of a fixed draft with the configured provider and model.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class SelfTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
