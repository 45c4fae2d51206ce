#include "SentryTest.h"

#include "ReportWriter.h"
#include "platform/crashreport/SentrySDK.h"
#include "state/Telemetry.h"

#include <chrono>

namespace quorvane {

void SentryTest::run(const DiagnosticContext& context) {
    telemetryOptedIn = true;
    startTelemetry();
    const auto eventId = captureTelemetryMessage("Quorvane DSN wiring test");
    ReportWriter::write("SENTRY_HOST:" + sentryDSNHost().value_or("nil") + "\n" +
                        "EVENT_ID:" + eventId.value_or("nil") + "\n");
    SentrySDK::flush(std::chrono::seconds(8));
    context.terminate();
}

} // namespace quorvane
