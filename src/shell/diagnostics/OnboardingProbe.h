// The onboarding flag of a fresh settings domain.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class OnboardingProbe {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
