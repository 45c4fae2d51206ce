#include "OpenAICompatibleProvider.h"

#include "NetworkJson.h"
#include "ProviderError.h"
#include "ProviderHttp.h"
#include "Text.h"

#include <chrono>

namespace quorvane {

namespace {

// The first choice's message content; further choices are ignored.
std::string replyText(std::string_view body) {
    const auto json = NetworkJson::parse(body);
    if (!json || !json->is_object()) {
        return {};
    }
    const auto choices = json->find("choices");
    if (choices == json->end() || !choices->is_array() || choices->empty()) {
        return {};
    }
    const auto& first = choices->front();
    if (!first.is_object()) {
        return {};
    }
    const auto message = first.find("message");
    if (message == first.end()) {
        return {};
    }
    const auto* content = NetworkJson::stringMember(*message, "content");
    return content == nullptr ? std::string{} : Text::trimmed(*content);
}

// {"model", "messages": [system, user], "stream": false} and nothing more.
std::string chatBody(const std::string& model, const std::string& system, const std::string& user) {
    return "{\"model\":" + NetworkJson::quoted(model) +
           ",\"messages\":[{\"role\":\"system\",\"content\":" + NetworkJson::quoted(system) +
           "},{\"role\":\"user\",\"content\":" + NetworkJson::quoted(user) + "}],\"stream\":false}";
}

} // namespace

OpenAICompatibleProvider::OpenAICompatibleProvider(const ProviderConfig& config,
                                                   std::optional<std::string> apiKey,
                                                   HttpSession& session)
    : DescribedProvider(config.id, config.displayName, config.availableModels,
                        config.requiresAPIKey)
    , baseURL_(config.baseURL)
    , apiKey_(ProviderHttp::headerSafeKey(apiKey))
    , session_(session) {}

bool OpenAICompatibleProvider::isAvailable() {
    return baseURL_.has_value() && (!requiresAPIKey() || apiKey_.has_value());
}

ProviderError OpenAICompatibleProvider::missingEndpoint() const {
    return ProviderError::providerUnavailable("No endpoint configured for " + displayName() + ".");
}

ProviderError OpenAICompatibleProvider::whyUnavailable() const {
    if (!baseURL_ && apiKey_) {
        return missingEndpoint();
    }
    return DescribedProvider::whyUnavailable();
}

Url OpenAICompatibleProvider::endpoint(std::string_view component) const {
    if (!baseURL_) {
        throw missingEndpoint();
    }
    return baseURL_->appendingPathComponent(component);
}

// Sent whenever a key is set, also to a provider that needs none (a secured Ollama).
std::vector<HttpHeader> OpenAICompatibleProvider::authorization() const {
    if (!apiKey_) {
        return {};
    }
    return {{"Authorization", "Bearer " + *apiKey_}};
}

std::string OpenAICompatibleProvider::enhance(const std::string& system, const std::string& user,
                                              const std::string& model, std::stop_token stop) {
    const Url url = endpoint("chat/completions");
    if (requiresAPIKey() && !apiKey_) {
        throw ProviderError::missingAPIKey(displayName());
    }
    HttpRequest request{
        .method = "POST",
        .url = url.text(),
        .headers = {{"content-type", "application/json"}},
        .body = chatBody(model, system, user),
        .timeout = std::chrono::seconds(60),
    };
    for (auto& header : authorization()) {
        request.headers.push_back(std::move(header));
    }
    std::string text = replyText(ProviderHttp::send(session_, request, stop, apiKey_));
    if (text.empty()) {
        throw ProviderError::emptyResponse();
    }
    return text;
}

std::vector<std::string> OpenAICompatibleProvider::fetchModels(std::stop_token stop) {
    const HttpRequest request{
        .method = "GET",
        .url = endpoint("models").text(),
        .headers = authorization(),
        .body = {},
        .timeout = std::chrono::seconds(30),
    };
    return ProviderHttp::modelIdentifiers(ProviderHttp::send(session_, request, stop, apiKey_));
}

} // namespace quorvane
