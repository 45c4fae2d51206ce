#include "SentrySDK.h"

#include "CrashHandler.h"
#include "CrashRecord.h"
#include "OsRelease.h"
#include "SentryDsn.h"
#include "SentryEvent.h"
#include "SentryTransport.h"
#include "platform/appinfo/ApplicationInfo.h"
#include "platform/http/HttpSession.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

namespace quorvane {

namespace {

struct Client {
    SentryOptions options;
    SentryEventContext context;
    std::shared_ptr<SentryTransport> transport;
};

struct Facade {
    std::mutex mutex;
    std::shared_ptr<Client> client;
    // The record files handed to a transport in this run, accepted or not.
    std::set<std::filesystem::path> crashFilesTaken;
};

Facade& facade() {
    // The shared session must outlive the sender thread, which may still be
    // in a request while static objects are destroyed at exit; creating it
    // first makes it go last.
    HttpSession::shared();
    static Facade instance;
    return instance;
}

std::shared_ptr<Client> currentClient() {
    auto& state = facade();
    std::lock_guard lock(state.mutex);
    return state.client;
}

std::shared_ptr<Client> makeClient(const SentryOptions& options) {
    const auto dsn = SentryDsn::parse(options.dsn);
    if (!dsn) {
        return nullptr;
    }
    auto client = std::make_shared<Client>();
    client->options = options;
    client->context.version = options.releaseVersion.empty()
                                  ? ApplicationInfo().shortVersionString()
                                  : options.releaseVersion;
    client->context.os = OsRelease::read(options.osReleasePath);
    auto& session = options.session ? *options.session : HttpSession::shared();
    client->transport = std::make_shared<SentryTransport>(*dsn, client->context.version, session);
    return client;
}

// Crashes are recorded exactly while a client runs that asks for it.
void recordCrashesFor(const Client* client) {
    if (client == nullptr || client->options.crashDirectory.empty() ||
        !CrashHandler::install({client->options.crashDirectory, client->context.version,
                                client->options.crashConsent})) {
        CrashHandler::uninstall();
    }
}

// The identifier is returned even when the transport drops the event, as
// the event did happen; only its delivery was refused.
std::string enqueue(Client& client, SentryEvent event) {
    auto eventId = event.eventId();
    client.transport->enqueue(std::move(event));
    return eventId;
}

// False when the record file was handed to a transport before in this run: one that failed
// waits for the next start rather than going out twice.
bool takeForThisRun(const std::filesystem::path& file) {
    auto& state = facade();
    std::lock_guard lock(state.mutex);
    return state.crashFilesTaken.insert(file).second;
}

} // namespace

void SentrySDK::start(const std::function<void(SentryOptions&)>& configureOptions) {
    SentryOptions options;
    if (configureOptions) {
        configureOptions(options);
    }
    auto& state = facade();
    std::shared_ptr<Client> replaced;
    {
        std::lock_guard lock(state.mutex);
        if (state.client && state.client->options == options) {
            return;
        }
        replaced = std::move(state.client);
    }
    // Built outside the lock: the old client's sender is stopped and joined
    // when the last reference goes, which may wait for a request to cancel.
    auto client = makeClient(options);
    recordCrashesFor(client.get());
    std::lock_guard lock(state.mutex);
    state.client = std::move(client);
}

std::string SentrySDK::capture(const std::string& message) {
    const auto client = currentClient();
    if (!client) {
        return emptyEventId;
    }
    // Captures come from ordinary code at ordinary moments: a good time to catch up with the
    // libraries loaded since the last look, which the crash handler cannot list itself.
    CrashHandler::refreshImages();
    return enqueue(*client, SentryEvent::message(message, client->context));
}

std::string SentrySDK::capture(const SentryError& error) {
    const auto client = currentClient();
    if (!client) {
        return emptyEventId;
    }
    CrashHandler::refreshImages();
    return enqueue(*client, SentryEvent::error(error, client->context));
}

std::size_t SentrySDK::sendRecordedCrashes() {
    const auto client = currentClient();
    if (!client || client->options.crashDirectory.empty()) {
        return 0;
    }
    std::size_t queued = 0;
    for (auto& stored : CrashRecord::readAll(client->options.crashDirectory)) {
        if (!takeForThisRun(stored.file)) {
            continue;
        }
        auto deleteRecord = [file = stored.file] { CrashRecord::remove(file); };
        if (client->transport->enqueue(SentryEvent::crash(stored.record, client->context),
                                       std::move(deleteRecord))) {
            ++queued;
        }
    }
    return queued;
}

bool SentrySDK::flush(std::chrono::milliseconds timeout) {
    const auto client = currentClient();
    return !client || client->transport->flush(timeout);
}

void SentrySDK::discardQueued() {
    if (const auto client = currentClient()) {
        client->transport->discardQueued();
    }
}

bool SentrySDK::isEnabled() {
    return currentClient() != nullptr;
}

std::optional<SentryOptions> SentrySDK::options() {
    const auto client = currentClient();
    if (!client) {
        return std::nullopt;
    }
    return client->options;
}

void SentrySDK::close() {
    CrashHandler::uninstall();
    std::shared_ptr<Client> closed;
    auto& state = facade();
    std::lock_guard lock(state.mutex);
    closed = std::move(state.client);
    state.crashFilesTaken.clear();
}

} // namespace quorvane
