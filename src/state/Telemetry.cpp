#include "Telemetry.h"

#include "engine/Log.h"
#include "platform/appinfo/ApplicationInfo.h"
#include "platform/appinfo/PropertyList.h"
#include "platform/crashreport/CrashHandler.h"
#include "platform/crashreport/CrashRecord.h"
#include "platform/crashreport/SentryDsn.h"
#include "platform/crashreport/SentrySDK.h"
#include "platform/files/UserDirectories.h"

#include <cstdlib>

namespace quorvane {

namespace {

std::optional<std::string> dsnFromResource(const ApplicationInfo& info) {
    const auto file = info.pathForResource("Sentry", "plist");
    if (!file) {
        return std::nullopt;
    }
    const auto list = PropertyList::readDictionary(*file);
    if (!list) {
        return std::nullopt;
    }
    auto dsn = list->string("SENTRY_DSN");
    if (!dsn || dsn->empty()) {
        return std::nullopt;
    }
    return dsn;
}

bool hasDSN(const std::optional<std::string>& dsn) {
    return dsn && !dsn->empty();
}

} // namespace

std::optional<std::string> resolveSentryDSN() {
    if (const char* environment = std::getenv("SENTRY_DSN");
        environment && environment[0] != '\0') {
        return std::string(environment);
    }
    const ApplicationInfo info;
    if (auto dsn = dsnFromResource(info)) {
        return dsn;
    }
    return info.infoValue("SENTRY_DSN");
}

void startTelemetry() {
    if (!telemetryOptedIn) {
        Log::app().log("Telemetry: opt-in OFF — disabled (privacy-first default)");
        return;
    }
    const auto dsn = resolveSentryDSN();
    if (!hasDSN(dsn)) {
        Log::app().log("Telemetry: no SENTRY_DSN — disabled (privacy-first default)");
        return;
    }
    SentrySDK::start([&dsn](SentryOptions& options) { configureSentryOptions(options, *dsn); });
    if (!SentrySDK::isEnabled()) {
        Log::app().error("Telemetry: SENTRY_DSN is not a valid DSN — disabled");
        return;
    }
    Log::app().log("Telemetry: Sentry started (DSN-gated)");
}

void configureSentryOptions(SentryOptions& options, const std::string& dsn) {
    options.dsn = dsn;
    options.debug = false;
    options.sendDefaultPii = false;
    options.tracesSampleRate = 0.0;
    // Without a folder of the user's own, crashes are not recorded at all.
    options.crashDirectory = crashRecordDirectory().value_or(std::filesystem::path());
    options.crashConsent = &telemetryOptedIn;
}

std::optional<std::filesystem::path> crashRecordDirectory() {
    const auto state = UserDirectories::stateHome();
    if (!state) {
        return std::nullopt;
    }
    return *state / "Quorvane";
}

void reportPendingCrashes() {
    const auto directory = crashRecordDirectory();
    if (!directory) {
        return;
    }
    if (!telemetryOptedIn) {
        if (const auto deleted = CrashRecord::discardAll(*directory); deleted > 0) {
            Log::app().log("Telemetry: opt-in OFF — %zu crash record(s) deleted unsent", deleted);
        }
        return;
    }
    if (!SentrySDK::isEnabled()) {
        return;
    }
    if (const auto queued = SentrySDK::sendRecordedCrashes(); queued > 0) {
        Log::app().log("Telemetry: reporting %zu crash(es) of an earlier run", queued);
    }
}

void catchUpWithLoadedLibraries() {
    CrashHandler::refreshImages();
}

std::optional<std::string> captureTelemetryMessage(const std::string& message) {
    if (!telemetryOptedIn || !hasDSN(resolveSentryDSN())) {
        return std::nullopt;
    }
    auto eventId = SentrySDK::capture(message);
    // The empty identifier means no client took the event (a DSN that does
    // not parse, or reporting never started): nothing was captured.
    if (eventId == SentrySDK::emptyEventId) {
        return std::nullopt;
    }
    return eventId;
}

std::optional<std::string> sentryDSNHost() {
    const auto dsn = resolveSentryDSN();
    if (!hasDSN(dsn)) {
        return std::nullopt;
    }
    const auto parsed = SentryDsn::parse(*dsn);
    if (!parsed) {
        return std::nullopt;
    }
    return parsed->host();
}

} // namespace quorvane
