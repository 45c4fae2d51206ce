// An HTTP server on 127.0.0.1 for tests: it picks a free port, serves on a
// thread of its own and records every request it receives.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvane::test {

struct RecordedRequest {
    std::string method;
    std::string path;
    // Header names as received, grouped by name rather than in wire order (the
    // server keeps them in a map); look them up with header().
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // The value of the first header with this name (case-insensitive), or empty text.
    std::string header(const std::string& name) const;
    bool hasHeader(const std::string& name) const;
};

class LoopbackServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    LoopbackServer();
    ~LoopbackServer(); // stops serving and joins the thread

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>"
    std::string baseUrl() const;

    // Registers a handler; register before the first request is sent.
    void get(const std::string& path, Handler handler);
    void post(const std::string& path, Handler handler);

    // Everything received so far, in arrival order.
    std::vector<RecordedRequest> requests() const;

    // For handlers that hold a request unanswered: blocks until the server
    // begins to stop (or the time-out passes), so a stalled handler never
    // keeps the destructor from joining. True when the server is stopping.
    bool waitUntilStopped(std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

private:
    Handler recording(Handler handler);
    void record(const httplib::Request& request);

    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
    mutable std::condition_variable stopping_;
    bool stopped_ = false;
};

} // namespace quorvane::test
