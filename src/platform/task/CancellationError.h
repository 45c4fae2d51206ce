#pragma once

#include <exception>

namespace quorvane {

// Thrown by blocking work whose std::stop_token was asked to stop. It is not a
// failure: callers that catch it show nothing to the user.
class CancellationError : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

} // namespace quorvane
