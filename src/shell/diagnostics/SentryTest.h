// Crash reporting wired to the configured DSN: one message, then a flush.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class SentryTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
