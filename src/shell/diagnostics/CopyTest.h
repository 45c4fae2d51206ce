// Auto-copy: after an enhancement the pasteboard holds the result.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class CopyTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
