// A chat-completions endpoint on 127.0.0.1 for the benchmarks: one route, no recording, kept
// connections and no Nagle delay, so that the server itself costs as little as it can.
#pragma once

#include <httplib.h>

#include <functional>
#include <string>
#include <thread>

namespace quorvane::bench {

class ChatServer {
public:
    using Reply = std::function<void(const httplib::Request&, httplib::Response&)>;

    explicit ChatServer(Reply reply);
    ~ChatServer();

    ChatServer(const ChatServer&) = delete;
    ChatServer& operator=(const ChatServer&) = delete;

    // "http://127.0.0.1:<port>/v1"
    std::string baseUrl() const;

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

} // namespace quorvane::bench
