// HTTP error messages show a body's message but never its secrets.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class ErrorTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
