// Three variations of a fixed draft.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class VariationTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
