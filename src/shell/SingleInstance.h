// One running copy per user session. The first process holds a lock file in the runtime
// directory and listens on a local socket beside it (or at an abstract name when the directory's
// path is too long for a socket address); a later launch hands "reopen" to the first copy and
// exits, which is how a desktop shortcut bound to the program toggles the panel where no global
// hot key can be registered. The launcher does the same hand-over before loading Qt; this class
// takes over when that found no copy answering.
#pragma once

#include "platform/localsocket/LocalSocketServer.h"
#include "shell/InstanceAddress.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>

namespace quorvane {

class SingleInstance final : public QObject {
    Q_OBJECT

public:
    enum class Role {
        // This process is the one copy; reopenRequested() fires for each later launch.
        primary,
        // Another copy runs and was told to reopen.
        handedOver,
        // Another copy holds the lock but could not be reached.
        unreachable,
    };

    // directory defaults to the user's runtime directory (InstanceAddress::runtimeDirectory()).
    explicit SingleInstance(QString directory = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock (clearing one left by a crashed run, or one nobody could have written) or
    // hands over to its holder.
    Role acquire(std::chrono::milliseconds patience = std::chrono::seconds(3));

    const InstanceAddress& address() const { return address_; }

signals:
    void reopenRequested();

private:
    struct Client;

    Role becomePrimary();
    bool takeUnreadableLock();
    bool listen();
    void acceptClients();
    void watch(LocalSocketConnection connection);
    bool readClient(Client& client);
    bool sendReopen(std::chrono::milliseconds patience) const;

    InstanceAddress address_;
    QLockFile lock_;
    LocalSocketServer server_;
};

} // namespace quorvane
