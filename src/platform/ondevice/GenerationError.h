#pragma once

#include <exception>
#include <string>

namespace quorvane {

// A failure of the on-device model while it generates a response.
class GenerationError : public std::exception {
public:
    enum class Case {
        exceededContextWindowSize,
        assetsUnavailable,
        guardrailViolation,
        unsupportedLanguageOrLocale,
        decodingFailure,
        rateLimited,
        concurrentRequests,
        refusal,
    };

    // With the readable text of the case.
    explicit GenerationError(Case kind);
    GenerationError(Case kind, std::string description);

    Case kind() const { return kind_; }
    const std::string& localizedDescription() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    Case kind_;
    std::string description_;
};

} // namespace quorvane
