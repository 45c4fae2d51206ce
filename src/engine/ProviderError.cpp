#include "ProviderError.h"

#include "NetworkJson.h"
#include "Text.h"

#include <utility>

namespace quorvane {

namespace {

std::string httpDescription(int status, const std::string& body) {
    const std::string head = "Request failed (HTTP " + std::to_string(status) + ")";
    const std::string message = ProviderError::extractMessage(body);
    if (message.empty()) {
        return head + ".";
    }
    return head + ". " + message;
}

std::string describe(ProviderError::Case kind, const std::string& text, int status) {
    using Case = ProviderError::Case;
    switch (kind) {
    case Case::missingAPIKey:
        return "No API key set for " + text + ". Add one in Settings.";
    case Case::providerUnavailable:
        return text;
    case Case::network:
        return "Network error: " + text;
    case Case::http:
        return httpDescription(status, text);
    case Case::sessionFailure:
        return "Generation failed: " + text;
    case Case::deviceNotEligible:
        return "Apple Foundation Models aren't supported on this computer. Pick another provider "
               "in Settings.";
    case Case::appleIntelligenceNotEnabled:
        return "Apple Intelligence is off. Enable it in System Settings, or pick another "
               "provider.";
    case Case::modelNotReady:
        return "The on-device model is still downloading. Try again shortly.";
    case Case::contextLimitExceeded:
        return "The draft is too long for this model. Shorten it and try again.";
    case Case::emptyResponse:
        return "The model returned an empty response. Try again.";
    case Case::refused:
        return text;
    }
    return {};
}

} // namespace

ProviderError::ProviderError(Case kind, std::string text, int status)
    : kind_(kind)
    , text_(std::move(text))
    , status_(status)
    , description_(describe(kind_, text_, status_)) {}

ProviderError ProviderError::missingAPIKey(std::string providerName) {
    return {Case::missingAPIKey, std::move(providerName), 0};
}

ProviderError ProviderError::providerUnavailable(std::string message) {
    return {Case::providerUnavailable, std::move(message), 0};
}

ProviderError ProviderError::network(std::string description) {
    return {Case::network, std::move(description), 0};
}

ProviderError ProviderError::http(int status, std::string body) {
    return {Case::http, std::move(body), status};
}

ProviderError ProviderError::sessionFailure(std::string description) {
    return {Case::sessionFailure, std::move(description), 0};
}

ProviderError ProviderError::deviceNotEligible() {
    return {Case::deviceNotEligible, {}, 0};
}

ProviderError ProviderError::appleIntelligenceNotEnabled() {
    return {Case::appleIntelligenceNotEnabled, {}, 0};
}

ProviderError ProviderError::modelNotReady() {
    return {Case::modelNotReady, {}, 0};
}

ProviderError ProviderError::contextLimitExceeded() {
    return {Case::contextLimitExceeded, {}, 0};
}

ProviderError ProviderError::emptyResponse() {
    return {Case::emptyResponse, {}, 0};
}

ProviderError ProviderError::refused(std::string message) {
    return {Case::refused, std::move(message), 0};
}

std::string ProviderError::code() const {
    switch (kind_) {
    case Case::missingAPIKey:
        return "missing_api_key";
    case Case::providerUnavailable:
        return "provider_unavailable";
    case Case::network:
        return "network";
    case Case::http:
        return "http_" + std::to_string(status_);
    case Case::sessionFailure:
        return "session_failure";
    case Case::deviceNotEligible:
        return "device_not_eligible";
    case Case::appleIntelligenceNotEnabled:
        return "ai_not_enabled";
    case Case::modelNotReady:
        return "model_not_ready";
    case Case::contextLimitExceeded:
        return "context_limit";
    case Case::emptyResponse:
        return "empty_response";
    case Case::refused:
        return "refused";
    }
    return "unknown";
}

// Only these members are ever shown: whatever else a service echoes back
// (a key, a request dump, an HTML page) stays out of the banner.
std::string ProviderError::extractMessage(std::string_view body) {
    return Text::prefix(bodyMessage(body), shownMessageLength);
}

std::string ProviderError::bodyMessage(std::string_view body) {
    const auto json = NetworkJson::parse(body);
    if (!json || !json->is_object()) {
        return {};
    }
    const std::string* message = nullptr;
    if (const auto error = json->find("error"); error != json->end()) {
        message = NetworkJson::stringMember(*error, "message");
    }
    if (message == nullptr) {
        message = NetworkJson::stringMember(*json, "message");
    }
    if (message == nullptr) {
        message = NetworkJson::stringMember(*json, "error");
    }
    return message == nullptr ? std::string{} : *message;
}

} // namespace quorvane
