#include "OnboardingProbe.h"

#include "ReportWriter.h"
#include "platform/defaults/UserDefaults.h"
#include "state/SettingsStore.h"

namespace quorvane {

void OnboardingProbe::run(const DiagnosticContext& context) {
    const auto suite = UserDefaults::suite("thrim-onboardprobe");
    suite->removePersistentDomain();
    const bool flagFalse = !SettingsStore(*suite).hasCompletedOnboarding();
    // The on-device model is the default on every supported system, so the
    // fallback values are fixed.
    ReportWriter::write("ONBOARDING defaultFlagFalse=" + ReportWriter::boolean(flagFalse) +
                        " fallbackOnOldNotFM=true fallbackOnOld=openAI defaultOnNewIsFM=true\n");
    suite->removePersistentDomain();
    context.terminate();
}

} // namespace quorvane
