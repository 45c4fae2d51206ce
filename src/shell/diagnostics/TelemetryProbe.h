// The opt-in gate of crash reporting, against a fixed test DSN.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class TelemetryProbe {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
