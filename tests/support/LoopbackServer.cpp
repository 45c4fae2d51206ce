#include "LoopbackServer.h"

#include <strings.h>

#include <csignal>
#include <stdexcept>

namespace quorvane::test {

namespace {

// Requests answered by no handler reach only the error handler; this marks
// the ones a handler already recorded (the error handler also sees those that
// answered with an error status), on the worker thread that serves them.
thread_local bool recordedByHandler = false;

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

std::string RecordedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (sameName(key, name)) {
            return value;
        }
    }
    return {};
}

bool RecordedRequest::hasHeader(const std::string& name) const {
    for (const auto& entry : headers) {
        if (sameName(entry.first, name)) {
            return true;
        }
    }
    return false;
}

LoopbackServer::LoopbackServer() {
    // A client that gives up mid-response must not kill the test process
    // when the handler writes its answer afterwards.
    std::signal(SIGPIPE, SIG_IGN);
    // One request per connection: a pooled keep-alive connection would hold a
    // worker, and with it the destructor, until the keep-alive time-out.
    server_.set_keep_alive_max_count(1);
    server_.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        recordedByHandler = false;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Runs before the answer is written, unlike the logger, so a request is
    // on record by the time its client has the response.
    server_.set_error_handler(httplib::Server::HandlerWithResponse(
        [this](const httplib::Request& request, httplib::Response&) {
            if (!recordedByHandler) {
                record(request);
            }
            return httplib::Server::HandlerResponse::Unhandled;
        }));
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("LoopbackServer: cannot bind a port on 127.0.0.1");
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    stopping_.notify_all();
    server_.stop();
    thread_.join();
}

std::string LoopbackServer::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LoopbackServer::get(const std::string& path, Handler handler) {
    server_.Get(path, recording(std::move(handler)));
}

void LoopbackServer::post(const std::string& path, Handler handler) {
    server_.Post(path, recording(std::move(handler)));
}

std::vector<RecordedRequest> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackServer::waitUntilStopped(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return stopping_.wait_for(lock, timeout, [this] { return stopped_; });
}

LoopbackServer::Handler LoopbackServer::recording(Handler handler) {
    return [this, handler = std::move(handler)](const httplib::Request& request,
                                                httplib::Response& response) {
        // Recorded before the handler runs, so a test can see a request that
        // a stalling handler still holds.
        record(request);
        recordedByHandler = true;
        handler(request, response);
    };
}

void LoopbackServer::record(const httplib::Request& request) {
    RecordedRequest recorded{request.method, request.path, {}, request.body};
    for (const auto& [name, value] : request.headers) {
        // httplib adds these itself; they were never on the wire.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
            name == "LOCAL_PORT") {
            continue;
        }
        recorded.headers.emplace_back(name, value);
    }
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(recorded));
}

} // namespace quorvane::test
