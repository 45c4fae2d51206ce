#include "TelemetryProbe.h"

#include "ReportWriter.h"
#include "platform/crashreport/SentrySDK.h"
#include "platform/defaults/UserDefaults.h"
#include "state/SettingsStore.h"
#include "state/Telemetry.h"

#include <chrono>
#include <cstdlib>

namespace quorvane {

namespace {

// Syntactically valid, pointing at the reporting service's ingest host, project 0.
constexpr const char* testDSN = "https://0123456789abcdef0123456789abcdef@o0.ingest.sentry.io/0";

} // namespace

void TelemetryProbe::run(const DiagnosticContext& context) {
    ::setenv("SENTRY_DSN", testDSN, 1);
    const bool dsnPresent = sentryDSNHost().has_value();

    telemetryOptedIn = false;
    startTelemetry();
    const bool offSent = captureTelemetryMessage("should-not-send").has_value();

    telemetryOptedIn = true;
    startTelemetry();
    const bool onSent = captureTelemetryMessage("opt-in send").has_value();

    SentrySDK::flush(std::chrono::seconds(6));

    // Read only: the suite stays as it is.
    const auto suite = UserDefaults::suite("thrim-teleprobe");
    const bool defaultIsOff = !SettingsStore(*suite).telemetryEnabled();

    ReportWriter::write("TELEMETRY dsnPresent=" + ReportWriter::boolean(dsnPresent) +
                        " toggleOff_sent=" + ReportWriter::boolean(offSent) +
                        " toggleOn_sent=" + ReportWriter::boolean(onSent) +
                        " defaultIsOff=" + ReportWriter::boolean(defaultIsOff) + "\n");
    context.terminate();
}

} // namespace quorvane
