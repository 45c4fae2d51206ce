#include "RawSocketPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace quorvane::test {

namespace {

// Bounds every wait, so a test whose client never comes cannot hang.
constexpr int waitMilliseconds = 10'000;

int boundListener(int& port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket < 0 || ::bind(socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(socket, 4) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("RawSocketPeer: cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return socket;
}

bool readable(int socket) {
    pollfd descriptor{socket, POLLIN, 0};
    return ::poll(&descriptor, 1, waitMilliseconds) == 1;
}

// The length the request announces for its body, 0 when it announces none.
std::size_t announcedBodyLength(const std::string& head) {
    const auto at = head.find("\r\nContent-Length:");
    return at == std::string::npos ? 0 : std::strtoul(head.c_str() + at + 17, nullptr, 10);
}

} // namespace

RawSocketPeer::RawSocketPeer(std::string reply)
    : reply_(std::move(reply)) {
    listener_ = boundListener(port_);
    thread_ = std::thread([this] { serve(); });
}

RawSocketPeer::~RawSocketPeer() {
    if (thread_.joinable()) {
        thread_.join();
    }
    ::close(listener_);
}

std::string RawSocketPeer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string RawSocketPeer::received() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return received_;
}

int RawSocketPeer::closedPort() {
    int port = 0;
    ::close(boundListener(port));
    return port;
}

void RawSocketPeer::serve() {
    if (!readable(listener_)) {
        return;
    }
    const int connection = ::accept(listener_, nullptr, nullptr);
    if (connection < 0) {
        return;
    }
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    while (headEnd == std::string::npos ||
           received_.size() < headEnd + 4 + announcedBodyLength(received_.substr(0, headEnd + 2))) {
        if (!readable(connection)) {
            break;
        }
        const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0) {
            break;
        }
        received_.append(buffer, static_cast<std::size_t>(count));
        headEnd = received_.find("\r\n\r\n");
    }
    if (!reply_.empty()) {
        ::send(connection, reply_.data(), reply_.size(), MSG_NOSIGNAL);
    }
    ::shutdown(connection, SHUT_RDWR);
    ::close(connection);
}

} // namespace quorvane::test
