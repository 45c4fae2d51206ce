// One update check: fetch the feed, pick its newest release and compare it
// with the running build. run() blocks on the network, so callers run it on
// a worker thread (Updater does).
#pragma once

#include "UpdateCheckResult.h"

#include <chrono>
#include <stop_token>
#include <string>

namespace quorvane {

class ApplicationInfo;
class HttpSession;

class UpdateCheck {
public:
    static constexpr std::chrono::seconds requestTimeout{30};

    // feedUrl may be empty: the build has no feed. bundleVersion is what feed
    // versions are compared with; displayVersion is what the messages name.
    UpdateCheck(std::string feedUrl, std::string bundleVersion, std::string displayVersion,
                HttpSession& session);

    // The feed and versions of this build ("SUFeedURL", "CFBundleVersion",
    // "CFBundleShortVersionString").
    static UpdateCheck forApplication(const ApplicationInfo& info, HttpSession& session);

    // Never throws for a failed check, which is a result of its own; throws
    // CancellationError soon after stop is requested.
    UpdateCheckResult run(std::stop_token stop = {}) const;

private:
    UpdateCheckResult failure(const std::string& reason) const;

    std::string feedUrl_;
    std::string bundleVersion_;
    std::string displayVersion_;
    HttpSession& session_;
};

} // namespace quorvane
