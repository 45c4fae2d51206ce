#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <memory>
#include <string>
#include <utility>

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

// A later launch sends one short line; a client that sends more than this without ending a line
// is not one of ours, and is dropped rather than buffered without end.
constexpr std::size_t longestLine = 256;

} // namespace

struct SingleInstance::Client {
    LocalSocketConnection connection;
    std::string pending;
};

SingleInstance::SingleInstance(QString directory, QObject* parent)
    : QObject(parent)
    , directory_(resolvedDirectory(directory))
    , lock_(directory_ + QStringLiteral("/quorvane.lock")) {
    // The lock is held for the whole run, so its age says nothing; only a dead owner makes it
    // stale.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

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
    if (!server_.listen(socketPath().toStdString())) {
        return false;
    }
    auto* notifier = new QSocketNotifier(server_.descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    return true;
}

void SingleInstance::acceptClients() {
    while (auto connection = server_.accept()) {
        watch(std::move(*connection));
    }
}

void SingleInstance::watch(LocalSocketConnection connection) {
    const int descriptor = connection.descriptor();
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    // The client lives as long as the notifier's handler; deleting the notifier ends both.
    auto client = std::make_shared<Client>(Client{std::move(connection), {}});
    const auto serve = [this, notifier, client] {
        if (!readClient(*client)) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    };
    connect(notifier, &QSocketNotifier::activated, notifier, serve);
    // Whatever the client sent before we looked is already waiting.
    serve();
}

bool SingleInstance::readClient(Client& client) {
    const auto status = client.connection.readAvailable(client.pending);
    std::size_t lineEnd = 0;
    while ((lineEnd = client.pending.find('\n')) != std::string::npos) {
        const bool reopen = client.pending.compare(0, lineEnd + 1, reopenMessage) == 0;
        client.pending.erase(0, lineEnd + 1);
        if (reopen) {
            emit reopenRequested();
        }
    }
    return status == LocalSocketConnection::ReadStatus::open &&
           client.pending.size() <= longestLine;
}

bool SingleInstance::sendReopen(std::chrono::milliseconds patience) const {
    // The first copy may hold the lock a moment before it listens; keep trying until patience
    // runs out.
    const QDeadlineTimer deadline(patience);
    do {
        if (const auto connection = LocalSocketConnection::connect(socketPath().toStdString())) {
            return connection->writeAll(reopenMessage, std::chrono::seconds(1));
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace quorvane
