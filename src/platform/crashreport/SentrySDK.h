// Crash and error reporting: a small client of the reporting service's public
// ingest protocol behind the static facade the rest of the program uses.
// Nothing here decides whether the user agreed to reporting; callers test
// their opt-in before every capture.
#pragma once

#include "SentryError.h"
#include "SentryOptions.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace quorvane {

class SentrySDK {
public:
    // The identifier a capture returns when reporting is not running.
    static constexpr const char* emptyEventId = "00000000000000000000000000000000";

    // Starts reporting with the options the closure fills in. Starting again
    // with the same options keeps the running client; other options replace
    // it. A DSN that does not parse leaves reporting off. With a crash
    // directory, fatal signals are recorded there for as long as reporting
    // runs.
    static void start(const std::function<void(SentryOptions&)>& configureOptions);

    // Queue one event for the background sender and return its identifier
    // (32 lower-case hex digits); emptyEventId when reporting is off.
    static std::string capture(const std::string& message);
    static std::string capture(const SentryError& error);
    // The crashes that earlier runs recorded in the crash directory, as one
    // fatal event each. A record's file is deleted once the service has
    // accepted its event; one that could not be sent (no network, a refusal,
    // a rate limit, a full queue) stays for a later start, and is not tried
    // again in this run. Returns how many events were queued.
    static std::size_t sendRecordedCrashes();

    // Blocks until the queued events are sent, at most the time-out; true
    // when nothing is left to send.
    static bool flush(std::chrono::milliseconds timeout);

    // Drops the captured events that still wait to be sent; reporting stays
    // started. For when the user withdraws consent: what was captured while
    // they agreed must not go out after they said no.
    static void discardQueued();

    static bool isEnabled();
    // The options reporting runs with; nothing when it is off.
    static std::optional<SentryOptions> options();

    // Stops reporting, and recording crashes, and drops unsent events; the
    // crash records tried so far may be tried again. The program never calls
    // it; tests do, between cases.
    static void close();
};

} // namespace quorvane
