#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace quorvane {

// The one failure type of every provider. Each case carries the banner text
// (errorDescription) and a short snake_case code for diagnostics.
// Cancellation is never a ProviderError: see CancellationError.
class ProviderError : public std::exception {
public:
    enum class Case {
        missingAPIKey,
        providerUnavailable,
        network,
        http,
        sessionFailure,
        deviceNotEligible,
        appleIntelligenceNotEnabled,
        modelNotReady,
        contextLimitExceeded,
        emptyResponse,
        refused,
    };

    static ProviderError missingAPIKey(std::string providerName);
    static ProviderError providerUnavailable(std::string message);
    static ProviderError network(std::string description);
    static ProviderError http(int status, std::string body);
    static ProviderError sessionFailure(std::string description);
    static ProviderError deviceNotEligible();
    static ProviderError appleIntelligenceNotEnabled();
    static ProviderError modelNotReady();
    static ProviderError contextLimitExceeded();
    static ProviderError emptyResponse();
    // The model answered, but declined to do what was asked; the message is shown as it is.
    static ProviderError refused(std::string message);

    Case kind() const { return kind_; }
    // The text payload: provider name, message, description or response body; empty for the others.
    const std::string& text() const { return text_; }
    // The status code of an http error; 0 for the others.
    int status() const { return status_; }

    const std::string& errorDescription() const { return description_; }
    std::string code() const;
    const char* what() const noexcept override { return description_.c_str(); }

    // The message an error body carries for the banner (at most 160 characters), or empty text.
    static std::string extractMessage(std::string_view body);
    // The same message before it is cut to length.
    static std::string bodyMessage(std::string_view body);
    // Service texts shown inside a message are cut to this many characters.
    static constexpr std::size_t shownMessageLength = 160;

    bool operator==(const ProviderError& other) const {
        return kind_ == other.kind_ && text_ == other.text_ && status_ == other.status_;
    }

private:
    ProviderError(Case kind, std::string text, int status);

    Case kind_;
    std::string text_;
    int status_ = 0;
    std::string description_;
};

} // namespace quorvane
