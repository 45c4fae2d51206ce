// Cancellation leaves no busy flag behind, and repeated enhancements keep memory bounded.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class ResourceProbe {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
