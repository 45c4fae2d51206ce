// One running copy per user session. The first process holds a lock file and
// listens on a local socket, both in the runtime directory; a later launch
// finds the lock taken, hands "reopen" to the first copy and exits, which is
// how a desktop shortcut bound to the program toggles the panel where no
// global hot key can be registered.
#pragma once

#include "platform/localsocket/LocalSocketServer.h"

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

    // directory defaults to the user's runtime directory ($XDG_RUNTIME_DIR).
    explicit SingleInstance(QString directory = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock (clearing one left by a crashed run) or hands over to its holder.
    Role acquire(std::chrono::milliseconds patience = std::chrono::seconds(3));

    QString lockFilePath() const;
    QString socketPath() const;

    static constexpr const char* reopenMessage = "reopen\n";

signals:
    void reopenRequested();

private:
    struct Client;

    bool listen();
    void acceptClients();
    void watch(LocalSocketConnection connection);
    bool readClient(Client& client);
    bool sendReopen(std::chrono::milliseconds patience) const;

    QString directory_;
    QLockFile lock_;
    LocalSocketServer server_;
};

} // namespace quorvane
