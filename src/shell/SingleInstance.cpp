#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace quorvane {

namespace {

QString runtimeDirectory() {
    const auto path = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return path.isEmpty() ? QDir::tempPath() : path;
}

QString resolvedDirectory(const QString& directory) {
    const auto path = directory.isEmpty() ? runtimeDirectory() : directory;
    QDir().mkpath(path);
    return path;
}

} // namespace

SingleInstance::SingleInstance(QString directory, QObject* parent)
    : QObject(parent)
    , directory_(resolvedDirectory(directory))
    , lock_(directory_ + QStringLiteral("/quorvane.lock")) {
    // The lock is held for the whole run, so its age says nothing; only a dead owner makes it
    // stale.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_) {
        server_->close();
    }
}

QString SingleInstance::lockFilePath() const {
    return directory_ + QStringLiteral("/quorvane.lock");
}

QString SingleInstance::socketPath() const {
    return directory_ + QStringLiteral("/quorvane.socket");
}

SingleInstance::Role SingleInstance::acquire(std::chrono::milliseconds patience) {
    // tryLock removes a lock whose process is gone before taking it.
    // Without a socket (or without anywhere to keep the lock) this copy still runs; it just
    // cannot be reached by later launches.
    if (lock_.tryLock(0) || lock_.error() != QLockFile::LockFailedError) {
        listen();
        return Role::primary;
    }
    return sendReopen(patience) ? Role::handedOver : Role::unreachable;
}

bool SingleInstance::listen() {
    // A socket left by a crashed run would make listen() fail; the lock says it is ours now.
    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath())) {
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (auto* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readClient(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            readClient(socket);
        }
    });
    return true;
}

void SingleInstance::readClient(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        if (socket->readLine() == reopenMessage) {
            emit reopenRequested();
        }
    }
}

bool SingleInstance::sendReopen(std::chrono::milliseconds patience) const {
    // The first copy may hold the lock a moment before it listens; keep trying until patience
    // runs out.
    const QDeadlineTimer deadline(patience);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(200)) {
            socket.write(reopenMessage);
            const bool written = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) {
                socket.waitForDisconnected(1000);
            }
            return written;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace quorvane
