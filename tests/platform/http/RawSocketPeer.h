// A one-shot TCP peer on 127.0.0.1 for exchanges that an HTTP server library
// will not produce: it keeps the request bytes exactly as they arrived and
// answers with fixed bytes (or with nothing, closing the connection).
#pragma once

#include <string>
#include <thread>

namespace quorvane::test {

class RawSocketPeer {
public:
    explicit RawSocketPeer(std::string reply);
    ~RawSocketPeer();

    RawSocketPeer(const RawSocketPeer&) = delete;
    RawSocketPeer& operator=(const RawSocketPeer&) = delete;

    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(const std::string& path) const;

    // The request head and body as received; waits until the exchange is over.
    std::string received();

    // A port on 127.0.0.1 that nothing listens on (it was free a moment ago).
    static int closedPort();

private:
    void serve();

    std::string reply_;
    int listener_ = -1;
    int port_ = 0;
    std::string received_;
    std::thread thread_;
};

} // namespace quorvane::test
