// A keep-alive HTTP/1.1 endpoint on 127.0.0.1 that answers every request with
// one fixed reply, written with a single send. Two things would otherwise
// decide a comparison of two clients by chance: a server that writes the head
// and the body of a reply separately leaves a client to find half a reply on
// some requests and to wait once more for the rest, and a server thread per
// connection lets the scheduler place one client's server closer to it than
// the other's. So one thread serves every connection, from one poll loop.
#pragma once

#include <string>
#include <thread>

namespace quorvane::bench {

class FixedReplyServer {
public:
    explicit FixedReplyServer(const std::string& body);
    ~FixedReplyServer();

    FixedReplyServer(const FixedReplyServer&) = delete;
    FixedReplyServer& operator=(const FixedReplyServer&) = delete;

    // "http://127.0.0.1:<port>/v1"
    std::string baseUrl() const;

private:
    void serve();

    std::string response_;
    int listener_ = -1;
    int port_ = 0;
    // Written to stop the loop.
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
};

} // namespace quorvane::bench
