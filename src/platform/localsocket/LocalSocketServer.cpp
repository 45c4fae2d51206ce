#include "platform/localsocket/LocalSocketServer.h"

#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>

namespace quorvane {

namespace {

// One call of acceptWaiting empties a full queue.
constexpr int backlog = static_cast<int>(LocalSocketServer::connectionsPerCall);

std::error_code lastError() {
    return {errno, std::system_category()};
}

} // namespace

LocalSocketServer::LocalSocketServer(uid_t owner)
    : owner_(owner) {}

LocalSocketServer::~LocalSocketServer() {
    close();
}

std::error_code LocalSocketServer::listen(const SocketAddress& address) {
    close();
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return lastError();
    }
    const std::string path = address.path();
    if (!path.empty()) {
        // A file left at the path by an earlier run would make bind fail.
        ::unlink(path.c_str());
    }
    if (::bind(descriptor, address.data(), address.size()) != 0) {
        const auto error = lastError();
        ::close(descriptor);
        return error;
    }
    descriptor_ = descriptor;
    path_ = path;
    // Nobody can connect before listen(), so narrowing the file's mode in between leaves no
    // moment when another user could get in.
    if (!path.empty() && ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0) {
        const auto error = lastError();
        close();
        return error;
    }
    if (::listen(descriptor, backlog) != 0) {
        const auto error = lastError();
        close();
        return error;
    }
    return {};
}

std::vector<LocalSocketConnection> LocalSocketServer::acceptWaiting(std::size_t most) const {
    std::vector<LocalSocketConnection> accepted;
    if (descriptor_ < 0) {
        return accepted;
    }
    for (std::size_t taken = 0; taken < most;) {
        const int client = ::accept4(descriptor_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0 && errno == EINTR) {
            continue;
        }
        ++taken;
        if (client < 0 && errno == ECONNABORTED) {
            continue;
        }
        if (client < 0) {
            break;
        }
        LocalSocketConnection connection(client);
        // Another user's connection closes here; the next one waiting may be the owner's.
        if (connection.peerIs(owner_)) {
            accepted.push_back(std::move(connection));
        }
    }
    return accepted;
}

void LocalSocketServer::close() {
    if (descriptor_ < 0) {
        return;
    }
    ::close(descriptor_);
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
    descriptor_ = -1;
    path_.clear();
}

} // namespace quorvane
