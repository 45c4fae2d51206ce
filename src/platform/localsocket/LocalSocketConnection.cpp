#include "platform/localsocket/LocalSocketConnection.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace quorvane {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

LocalSocketConnection::LocalSocketConnection(int descriptor)
    : descriptor_(descriptor) {}

LocalSocketConnection::~LocalSocketConnection() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

LocalSocketConnection::LocalSocketConnection(LocalSocketConnection&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)) {}

LocalSocketConnection& LocalSocketConnection::operator=(LocalSocketConnection&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

std::optional<LocalSocketConnection> LocalSocketConnection::connect(const SocketAddress& address,
                                                                    uid_t owner) {
    LocalSocketConnection connection(
        ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (connection.descriptor_ < 0) {
        return std::nullopt;
    }
    // A local connect either completes at once or fails at once; a full queue says EAGAIN,
    // which the caller treats like no listener and tries again later.
    if (::connect(connection.descriptor_, address.data(), address.size()) != 0 ||
        !connection.peerIs(owner)) {
        return std::nullopt;
    }
    return connection;
}

bool LocalSocketConnection::peerIs(uid_t user) const {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(descriptor_, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof peer && peer.uid == user;
}

bool LocalSocketConnection::writeAll(std::string_view data,
                                     std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    while (!data.empty()) {
        // No SIGPIPE from a peer that left: that is a failed write, not the end of the program.
        const auto sent = ::send(descriptor_, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd writable{.fd = descriptor_, .events = POLLOUT, .revents = 0};
        // A signal ends the wait early without anything being wrong; the deadline still holds.
        const int ready = ::poll(&writable, 1, millisecondsLeft(deadline));
        if (ready == 0 || (ready < 0 && errno != EINTR)) {
            return false;
        }
    }
    return true;
}

LocalSocketConnection::ReadStatus LocalSocketConnection::readAvailable(std::string& into) const {
    std::array<char, 512> chunk{};
    for (std::size_t taken = 0; taken < maximumReadSize;) {
        const auto wanted = std::min(chunk.size(), maximumReadSize - taken);
        const auto received = ::recv(descriptor_, chunk.data(), wanted, 0);
        if (received > 0) {
            into.append(chunk.data(), static_cast<std::size_t>(received));
            taken += static_cast<std::size_t>(received);
            continue;
        }
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received < 0 && errno == EAGAIN) {
            return ReadStatus::open;
        }
        return ReadStatus::closed;
    }
    return ReadStatus::open;
}

} // namespace quorvane
