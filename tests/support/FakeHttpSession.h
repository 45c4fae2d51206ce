// An HttpSession that sends nothing: it records each request and answers
// with whatever the test's responder returns (or throws).
#pragma once

#include "platform/http/HttpSession.h"

#include <functional>
#include <mutex>
#include <vector>

namespace quorvane::test {

class FakeHttpSession : public HttpSession {
public:
    using Responder = std::function<HttpResponse(const HttpRequest&)>;

    // Without a responder every request gets 200 with an empty body.
    FakeHttpSession();
    explicit FakeHttpSession(Responder responder);

    void setResponder(Responder responder);
    // Shorthand for a responder that always gives this status and body.
    void respond(long statusCode, std::string body);

    HttpResponse send(const HttpRequest& request, std::stop_token stop) override;

    std::vector<HttpRequest> requests() const;

private:
    mutable std::mutex mutex_;
    Responder responder_;
    std::vector<HttpRequest> requests_;
};

} // namespace quorvane::test
