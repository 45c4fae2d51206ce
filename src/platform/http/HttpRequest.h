#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

using HttpHeader = std::pair<std::string, std::string>;

// One HTTP request. Headers are sent in the order given.
struct HttpRequest {
    std::string method = "GET";
    std::string url;
    std::vector<HttpHeader> headers;
    std::string body;
    std::chrono::milliseconds timeout = std::chrono::seconds(60);
};

} // namespace quorvane
