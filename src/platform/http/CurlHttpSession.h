// The HTTP session on libcurl. Redirects are followed here rather than by
// libcurl, so that API keys never travel to a host other than the one asked.
#pragma once

#include "HttpSession.h"

#include <memory>
#include <mutex>

namespace quorvane {

class CurlLibrary;
class CurlShare;

class CurlHttpSession : public HttpSession {
public:
    // Redirects followed for one request before it fails.
    static constexpr int maximumRedirects = 16;

    // On the system's libcurl. Building a session loads nothing: the first
    // request loads the library, and fails with HttpTransportError, as every
    // later one does, when it cannot be loaded.
    CurlHttpSession();
    explicit CurlHttpSession(CurlLibrary& library);
    ~CurlHttpSession() override;

    CurlHttpSession(const CurlHttpSession&) = delete;
    CurlHttpSession& operator=(const CurlHttpSession&) = delete;

    // The request's time-out bounds the whole call, redirects included.
    // Headers whose name or value could split the header block (line breaks,
    // NUL) are refused with HttpTransportError before anything is sent.
    HttpResponse send(const HttpRequest& request, std::stop_token stop) override;

private:
    CurlShare& share();

    CurlLibrary& library_;
    std::mutex shareMutex_;
    std::unique_ptr<CurlShare> share_;
};

} // namespace quorvane
