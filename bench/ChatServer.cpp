#include "ChatServer.h"

#include <stdexcept>

namespace quorvane::bench {

ChatServer::ChatServer(Reply reply) {
    server_.set_keep_alive_max_count(1 << 30);
    // Without this, delayed ACKs add 40 ms to every reply and hide everything else.
    server_.set_tcp_nodelay(true);
    server_.Post("/v1/chat/completions", std::move(reply));
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("cannot bind a loopback port");
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) {
        std::this_thread::yield();
    }
}

ChatServer::~ChatServer() {
    server_.stop();
    thread_.join();
}

std::string ChatServer::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/v1";
}

} // namespace quorvane::bench
