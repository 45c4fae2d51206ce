#pragma once

#include <string>

namespace quorvane {

// An error as crash reporting sends it: a type name ("ProviderError") and a
// value that identifies the case ("missing_api_key"). The value must never be
// user-facing text, which may quote a draft, a reply or a server body.
struct SentryError {
    std::string type;
    std::string value;
};

} // namespace quorvane
