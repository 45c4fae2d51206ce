#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

namespace quorvane {

class HttpSession;

// How crash reporting is started. The first four mirror the reporting
// service's client options; personal data is never sent whatever
// sendDefaultPii says, and there is no tracing to sample.
struct SentryOptions {
    std::string dsn;
    bool debug = false;
    bool sendDefaultPii = false;
    std::optional<double> tracesSampleRate;

    // The session that carries the reports; nullptr means HttpSession::shared().
    HttpSession* session = nullptr;
    // The release reported with each event; empty means the program's own version.
    std::string releaseVersion;
    // Where the operating system's name and version are read.
    std::filesystem::path osReleasePath = "/etc/os-release";
    // Where a crash is written down while reporting runs (see CrashHandler); empty means
    // crashes are not recorded.
    std::filesystem::path crashDirectory;
    // When set, a crash is recorded only while it holds true.
    const std::atomic<bool>* crashConsent = nullptr;

    bool operator==(const SentryOptions&) const = default;
};

} // namespace quorvane
