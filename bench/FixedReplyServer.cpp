#include "FixedReplyServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace quorvane::bench {

namespace {

// The declared body length of a request head, 0 when it declares none.
std::size_t contentLength(std::string_view head) {
    constexpr std::string_view name = "\r\ncontent-length:";
    for (std::size_t at = head.find("\r\n"); at != std::string_view::npos;
         at = head.find("\r\n", at + 2)) {
        if (head.size() - at > name.size() &&
            strncasecmp(head.data() + at, name.data(), name.size()) == 0) {
            return std::strtoul(head.data() + at + name.size(), nullptr, 10);
        }
    }
    return 0;
}

// The replies are small and the client reads them at once, so a blocking
// send of the whole reply never waits long.
bool sendAll(int connection, std::string_view data) {
    while (!data.empty()) {
        const auto sent = ::send(connection, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Answers every complete request in the buffer; false when the connection is done.
bool answerComplete(int connection, std::string& received, const std::string& response) {
    while (true) {
        const auto end = received.find("\r\n\r\n");
        if (end == std::string::npos) {
            return true;
        }
        const std::size_t total =
            end + 4 + contentLength(std::string_view(received).substr(0, end));
        if (received.size() < total) {
            return true;
        }
        received.erase(0, total);
        if (!sendAll(connection, response)) {
            return false;
        }
    }
}

} // namespace

FixedReplyServer::FixedReplyServer(const std::string& body)
    : response_("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\nConnection: keep-alive\r\n\r\n" + body) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot listen on a loopback port");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FixedReplyServer::~FixedReplyServer() {
    const char stop = 's';
    if (::write(stopPipe_[1], &stop, 1) != 1) {
        std::abort(); // the loop would never end
    }
    thread_.join();
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
    ::close(listener_);
}

std::string FixedReplyServer::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/v1";
}

void FixedReplyServer::serve() {
    std::map<int, std::string> connections; // what each has sent and is not answered yet
    std::vector<pollfd> watched;
    char buffer[16384];
    while (true) {
        watched.assign({{stopPipe_[0], POLLIN, 0}, {listener_, POLLIN, 0}});
        for (const auto& [connection, received] : connections) {
            watched.push_back({connection, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            continue;
        }
        if (watched[0].revents != 0) {
            break;
        }
        if (watched[1].revents != 0) {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                // Without this, delayed ACKs add 40 ms to a reply and hide everything else.
                const int on = 1;
                ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                connections.emplace(connection, std::string());
            }
        }
        for (std::size_t i = 2; i < watched.size(); ++i) {
            if (watched[i].revents == 0) {
                continue;
            }
            const int connection = watched[i].fd;
            auto& received = connections.at(connection);
            const auto count = ::recv(connection, buffer, sizeof buffer, 0);
            if (count > 0) {
                received.append(buffer, static_cast<std::size_t>(count));
            }
            if (count <= 0 || !answerComplete(connection, received, response_)) {
                ::close(connection);
                connections.erase(connection);
            }
        }
    }
    for (const auto& [connection, received] : connections) {
        ::close(connection);
    }
}

} // namespace quorvane::bench
