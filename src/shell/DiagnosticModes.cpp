#include "DiagnosticModes.h"

#include "diagnostics/ClarifyTest.h"
#include "diagnostics/CopyTest.h"
#include "diagnostics/ErrorTest.h"
#include "diagnostics/HotkeyTest.h"
#include "diagnostics/KeyProbe.h"
#include "diagnostics/MenuProbe.h"
#include "diagnostics/OnboardingProbe.h"
#include "diagnostics/ResourceProbe.h"
#include "diagnostics/SelfTest.h"
#include "diagnostics/SentryTest.h"
#include "diagnostics/ShowcaseMode.h"
#include "diagnostics/TelemetryProbe.h"
#include "diagnostics/VariationTest.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace quorvane {

namespace {

struct Mode {
    const char* flag;
    void (*run)(const QStringList& arguments, DiagnosticContext& context);
};

bool selfTestRequestedByEnvironment() {
    const char* value = std::getenv("THRIM_SELFTEST");
    return value != nullptr && std::string_view(value) == "1";
}

// In the order they are tested; the first match wins.
constexpr std::array<Mode, 13> modes{{
    {"--selftest", [](const QStringList&, DiagnosticContext& c) { SelfTest::run(c); }},
    {"--showcase", [](const QStringList& a, DiagnosticContext& c) { ShowcaseMode::run(a, c); }},
    {"--clarifytest", [](const QStringList&, DiagnosticContext& c) { ClarifyTest::run(c); }},
    {"--copytest", [](const QStringList&, DiagnosticContext& c) { CopyTest::run(c); }},
    {"--variationtest", [](const QStringList&, DiagnosticContext& c) { VariationTest::run(c); }},
    {"--keyprobe", [](const QStringList&, DiagnosticContext& c) { KeyProbe::run(c); }},
    {"--menuprobe", [](const QStringList&, DiagnosticContext& c) { MenuProbe::run(c); }},
    {"--onboardingprobe",
     [](const QStringList&, DiagnosticContext& c) { OnboardingProbe::run(c); }},
    {"--resourceprobe", [](const QStringList&, DiagnosticContext& c) { ResourceProbe::run(c); }},
    {"--errortest", [](const QStringList&, DiagnosticContext& c) { ErrorTest::run(c); }},
    {"--hotkeytest", [](const QStringList&, DiagnosticContext& c) { HotkeyTest::run(c); }},
    {"--sentrytest", [](const QStringList&, DiagnosticContext& c) { SentryTest::run(c); }},
    {"--telemetryprobe", [](const QStringList&, DiagnosticContext& c) { TelemetryProbe::run(c); }},
}};

} // namespace

bool DiagnosticModes::runIfRequested(const QStringList& arguments, DiagnosticContext context) {
    for (std::size_t index = 0; index < modes.size(); ++index) {
        const Mode& mode = modes[index];
        const bool matches = arguments.contains(QString::fromLatin1(mode.flag)) ||
                             (index == 0 && selfTestRequestedByEnvironment());
        if (!matches) {
            continue;
        }
        mode.run(arguments, context);
        return true;
    }
    return false;
}

} // namespace quorvane
