// Crash and error reporting as the application uses it: off unless the user
// opted in and a reporting endpoint (DSN) is configured. Every capture tests
// the opt-in flag first, so turning the setting off silences reporting at
// once even though the client, once started, keeps running.
#pragma once

#include "platform/crashreport/SentryOptions.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

namespace quorvane {

// The user's consent, false until launch copies the setting into it.
inline std::atomic<bool> telemetryOptedIn{false};

// The first non-empty of: the environment variable SENTRY_DSN; the string
// under SENTRY_DSN in the data file "Sentry.plist"; the information
// dictionary's SENTRY_DSN (returned even when empty). Nothing otherwise.
std::optional<std::string> resolveSentryDSN();

// Starts reporting when opted in and a DSN is found; logs which it did. While reporting runs,
// a crash is written down in crashRecordDirectory() as long as the user stays opted in.
void startTelemetry();

// $XDG_STATE_HOME/Quorvane, or ~/.local/state/Quorvane; nothing when the user has no home
// folder, as a shared one would let another user plant records.
std::optional<std::filesystem::path> crashRecordDirectory();

// What earlier runs' crashes left behind: sent as one fatal event each when opted in and
// reporting runs, each deleted once the service accepted it and kept for a later start when it
// could not be sent; deleted unsent when not opted in; kept for a later start when opted in
// without a DSN. A record that cannot be read is deleted. Called once at launch, after
// startTelemetry().
void reportPendingCrashes();

// Lets a crash record name the libraries loaded since the last look (libcurl, opened by the
// first request; Qt's plugins, loaded as views need them), so that their frames can be
// symbolicated. For the end of work that may have loaded some: one look at the loader's counts
// when nothing was loaded, nothing at all while crashes are not recorded.
void catchUpWithLoadedLibraries();

void configureSentryOptions(SentryOptions& options, const std::string& dsn);

// The event identifier, or nothing when not opted in or without a DSN.
std::optional<std::string> captureTelemetryMessage(const std::string& message);

// The host of the DSN; nothing without a DSN or when it does not parse.
std::optional<std::string> sentryDSNHost();

} // namespace quorvane
