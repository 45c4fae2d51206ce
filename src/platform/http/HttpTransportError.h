#pragma once

#include <stdexcept>
#include <string>

namespace quorvane {

// A transfer that failed below HTTP: no connection, time-out, TLS failure, a
// body over the size limit. what() is a readable description for the user.
class HttpTransportError : public std::runtime_error {
public:
    explicit HttpTransportError(const std::string& description)
        : std::runtime_error(description) {}
};

} // namespace quorvane
