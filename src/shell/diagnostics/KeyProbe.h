// The sealed key file in a scratch directory, and where each provider's key comes from.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class KeyProbe {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
