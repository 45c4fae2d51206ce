#include "platform/localsocket/LocalSocketServer.h"

#include "platform/localsocket/SocketAddress.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

constexpr int backlog = 16;

} // namespace

LocalSocketServer::~LocalSocketServer() {
    close();
}

bool LocalSocketServer::listen(const std::string& path) {
    close();
    const auto address = SocketAddress::forPath(path);
    if (!address) {
        return false;
    }
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return false;
    }
    // A file left at the path by an earlier run would make bind fail.
    ::unlink(path.c_str());
    // Nobody can connect before listen(), so narrowing the file's mode in between leaves no
    // moment when another user could get in.
    if (::bind(descriptor, address->data(), address->size()) != 0) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    path_ = path;
    if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(descriptor, backlog) != 0) {
        close();
        return false;
    }
    return true;
}

std::optional<LocalSocketConnection> LocalSocketServer::accept() const {
    if (descriptor_ < 0) {
        return std::nullopt;
    }
    const int client = ::accept4(descriptor_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) {
        return std::nullopt;
    }
    return LocalSocketConnection(client);
}

void LocalSocketServer::close() {
    if (descriptor_ < 0) {
        return;
    }
    ::close(descriptor_);
    ::unlink(path_.c_str());
    descriptor_ = -1;
    path_.clear();
}

} // namespace quorvane
