#pragma once

#include "HttpRequest.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct HttpResponse {
    // 0 when the peer did not answer with HTTP at all.
    long statusCode = 0;
    // The headers of the final response (after redirects), in arrival order.
    std::vector<HttpHeader> headers;
    std::string body;

    // The first header with this name, compared without regard to case.
    std::optional<std::string> header(std::string_view name) const;
};

} // namespace quorvane
