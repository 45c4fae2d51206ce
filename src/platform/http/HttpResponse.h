#pragma once

#include "HttpRequest.h"

#include <cstddef>
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
    // Room is made for a declared length and bodySpare bytes past it, so that a reader that
    // looks ahead of what it reads can, as a rule, read the body where it is.
    std::string body;
    static constexpr std::size_t bodySpare = 64;

    // The first header with this name, compared without regard to case.
    std::optional<std::string> header(std::string_view name) const;
};

} // namespace quorvane
