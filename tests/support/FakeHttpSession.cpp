#include "FakeHttpSession.h"

#include <utility>

namespace quorvane::test {

FakeHttpSession::FakeHttpSession()
    : FakeHttpSession(Responder{}) {}

FakeHttpSession::FakeHttpSession(Responder responder)
    : responder_(std::move(responder)) {}

void FakeHttpSession::setResponder(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

void FakeHttpSession::respond(long statusCode, std::string body) {
    setResponder([statusCode, body = std::move(body)](const HttpRequest&) {
        return HttpResponse{.statusCode = statusCode, .headers = {}, .body = body};
    });
}

HttpResponse FakeHttpSession::send(const HttpRequest& request, std::stop_token) {
    Responder responder;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        responder = responder_;
    }
    if (!responder) {
        return HttpResponse{.statusCode = 200, .headers = {}, .body = {}};
    }
    return responder(request);
}

std::vector<HttpRequest> FakeHttpSession::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

} // namespace quorvane::test
