// The HTTP session on libcurl. Redirects are followed here rather than by
// libcurl, so that API keys never travel to a host other than the one asked.
#pragma once

#include "HttpSession.h"

#include <memory>

namespace quorvane {

class CurlShare;

class CurlHttpSession : public HttpSession {
public:
    // Redirects followed for one request before it fails.
    static constexpr int maximumRedirects = 16;

    CurlHttpSession();
    ~CurlHttpSession() override;

    CurlHttpSession(const CurlHttpSession&) = delete;
    CurlHttpSession& operator=(const CurlHttpSession&) = delete;

    // The request's time-out bounds the whole call, redirects included.
    // Headers whose name or value could split the header block (line breaks,
    // NUL) are refused with HttpTransportError before anything is sent.
    HttpResponse send(const HttpRequest& request, std::stop_token stop) override;

private:
    std::unique_ptr<CurlShare> share_;
};

} // namespace quorvane
