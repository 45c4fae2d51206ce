#include "shell/SingleInstance.h"

#include "engine/Log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace quorvane {

namespace {

// The lock and the socket live only in a folder of this user's alone: in one that another user
// owns, or that is a link to elsewhere, they could take the lock away or put a socket of their own
// in its place. Such a folder is not used; this copy keeps its lock in a private folder of its
// own, which later launches cannot find.
std::string privateDirectory(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        // The fallback under the temporary directory is made on first use, for this user alone.
        QDir().mkpath(QFileInfo(path).absolutePath());
        ::mkdir(name.constData(), S_IRWXU);
        if (::lstat(name.constData(), &status) != 0) {
            status = {};
        }
    }
    if (S_ISDIR(status.st_mode) && status.st_uid == ::geteuid()) {
        if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
            ::chmod(name.constData(), S_IRWXU);
        }
        return path.toStdString();
    }
    QByteArray own = QFile::encodeName(QDir::tempPath() + QStringLiteral("/quorvane-XXXXXX"));
    if (::mkdtemp(own.data()) == nullptr) {
        own.clear();
    }
    Log::app().error("SingleInstance: %s is not a folder of this user's own; the lock is kept in "
                     "%s instead, where later launches cannot find this copy",
                     path.toStdString(), own.toStdString());
    return own.toStdString();
}

std::string resolvedDirectory(const QString& directory) {
    return privateDirectory(directory.isEmpty()
                                ? QString::fromStdString(InstanceAddress::runtimeDirectory())
                                : directory);
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
    , address_(resolvedDirectory(directory))
    , lock_(QString::fromStdString(address_.lockFilePath())) {
    // The lock is held for the whole run, so its age says nothing; only a dead owner makes it
    // stale.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::acquire(std::chrono::milliseconds patience) {
    // tryLock removes a lock whose process is gone before taking it.
    if (lock_.tryLock(0)) {
        return becomePrimary();
    }
    if (lock_.error() != QLockFile::LockFailedError) {
        // Without anywhere to keep the lock this copy still runs; later launches may not find it.
        Log::app().error("SingleInstance: cannot take the lock %s (QLockFile error %d)",
                         address_.lockFilePath(), static_cast<int>(lock_.error()));
        return becomePrimary();
    }
    if (takeUnreadableLock()) {
        return becomePrimary();
    }
    return sendReopen(patience) ? Role::handedOver : Role::unreachable;
}

SingleInstance::Role SingleInstance::becomePrimary() {
    listen();
    return Role::primary;
}

// A copy writes the lock whole as it takes it, so one that names no holder (empty, or not in
// the lock's format) was left by something else, and the holder check of tryLock can never
// clear it. With no copy answering either, it is replaced. A copy that holds it keeps the file
// locked, from before it writes it to its end, and then the removal fails.
bool SingleInstance::takeUnreadableLock() {
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock_.getLockInfo(&pid, &host, &application) || address_.sendReopen()) {
        return false;
    }
    if (!lock_.removeStaleLockFile() || !lock_.tryLock(0)) {
        return false;
    }
    Log::app().log("SingleInstance: replaced the unreadable lock %s", address_.lockFilePath());
    return true;
}

bool SingleInstance::listen() {
    const auto& socket = address_.socket();
    if (!socket.address) {
        Log::app().error("SingleInstance: no socket address in %s: %s", address_.directory(),
                         socket.error.message());
        return false;
    }
    if (const auto error = server_.listen(*socket.address)) {
        Log::app().error("SingleInstance: cannot listen at %s: %s", socket.address->describe(),
                         error.message());
        return false;
    }
    auto* notifier = new QSocketNotifier(server_.descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    return true;
}

void SingleInstance::acceptClients() {
    for (auto& connection : server_.acceptWaiting()) {
        watch(std::move(connection));
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
        const bool reopen = std::string_view(client.pending).substr(0, lineEnd + 1) ==
                            InstanceAddress::reopenMessage;
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
        if (address_.sendReopen()) {
            return true;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace quorvane
