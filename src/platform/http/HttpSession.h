#pragma once

#include "HttpRequest.h"
#include "HttpResponse.h"

#include <stop_token>

namespace quorvane {

// Performs HTTP requests. Every request of the system goes through shared(),
// so connections, DNS results and TLS sessions are reused; tests substitute
// their own session where a provider takes one.
class HttpSession {
public:
    virtual ~HttpSession() = default;

    // Blocks until the response is complete. Throws HttpTransportError when the
    // transfer fails and CancellationError soon after stop is requested.
    virtual HttpResponse send(const HttpRequest& request, std::stop_token stop) = 0;

    // The process-wide session, built on first use.
    static HttpSession& shared();
};

} // namespace quorvane
