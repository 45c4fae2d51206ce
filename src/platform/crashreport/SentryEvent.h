// One crash-report event and the envelope that carries it. Events hold only
// what is listed here: no user, no IP address, no host name, no breadcrumbs.
#pragma once

#include "CrashRecord.h"
#include "OsRelease.h"
#include "SentryError.h"

#include <chrono>
#include <string>
#include <string_view>

namespace quorvane {

// What every event of this process says about the program and the system.
struct SentryEventContext {
    std::string version;
    OsRelease os;
};

class SentryEvent {
public:
    using Clock = std::chrono::system_clock;

    // A message event at level "info".
    static SentryEvent message(const std::string& text, const SentryEventContext& context,
                               Clock::time_point timestamp = Clock::now());
    // A handled-error event at level "error".
    static SentryEvent error(const SentryError& error, const SentryEventContext& context,
                             Clock::time_point timestamp = Clock::now());

    // A crash of an earlier run at level "fatal": the signal as the exception, the crashing
    // thread's frames and, as debug images, the loaded images that have a build id, so that
    // the service can symbolicate the frames. Its time and release are the crash's own.
    static SentryEvent crash(const CrashRecord& record, const SentryEventContext& context);

    // The debug identifier the service derives from an ELF build id: its first 16 bytes
    // (zero-padded) as a GUID whose first three fields are little-endian.
    static std::string debugId(std::string_view buildId);

    // 32 lower-case hex digits.
    const std::string& eventId() const { return eventId_; }
    // The event as compact JSON.
    const std::string& payload() const { return payload_; }

    // The envelope body: its header line, the item header line and the
    // payload, joined by line feeds.
    std::string envelope(Clock::time_point sentAt = Clock::now()) const;

    // RFC 3339 in UTC with milliseconds: "2024-05-01T09:30:00.250Z".
    static std::string rfc3339(Clock::time_point time);

private:
    SentryEvent(std::string eventId, std::string payload, std::string sdkVersion);

    std::string eventId_;
    std::string payload_;
    std::string sdkVersion_;
};

} // namespace quorvane
