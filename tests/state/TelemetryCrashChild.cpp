// The application's start-up as far as crash reporting goes, for TelemetryTest.
//   telemetry-crash-child crash on|off   starts reporting as launch does, then dies of SIGSEGV
//   telemetry-crash-child start on|off   does what launch does with the crashes of earlier runs
//                                        and waits until the reports are sent
// The second argument is the opt-in; the endpoint comes from SENTRY_DSN.
#include "engine/Log.h"
#include "platform/crashreport/SentrySDK.h"
#include "platform/crypto/OpenSslRuntime.h"
#include "state/Telemetry.h"

#include <spdlog/sinks/null_sink.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <cstring>

namespace {

// What the user wrote, which no report may carry.
volatile char draft[] = "DRAFT-MARKER: the plans nobody may read";

void crashOnPurpose() {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    draft[0] = 'D';
    raise(SIGSEGV);
}

} // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    if (argc != 3) {
        return 2;
    }
    Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    // As the application's main does, before the sender thread is the first to need it.
    OpenSslRuntime::initialise();
    const bool crash = std::strcmp(argv[1], "crash") == 0;
    if (crash) {
        // The default action as the one to restore, whatever a sanitizer put in place, so the
        // child ends by the signal it raised.
        std::signal(SIGSEGV, SIG_DFL);
    }
    telemetryOptedIn = std::strcmp(argv[2], "on") == 0;
    if (telemetryOptedIn) {
        startTelemetry();
    }
    if (crash) {
        crashOnPurpose();
        return 3;
    }
    reportPendingCrashes();
    return SentrySDK::flush(std::chrono::seconds(20)) ? 0 : 4;
}
