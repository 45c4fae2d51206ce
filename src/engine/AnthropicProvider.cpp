#include "AnthropicProvider.h"

#include "NetworkJson.h"
#include "ProviderError.h"
#include "ProviderHttp.h"
#include "Text.h"

#include <chrono>

namespace quorvane {

namespace {

std::optional<Url> baseURLOrDefault(const ProviderConfig& config) {
    if (config.baseURL) {
        return config.baseURL;
    }
    return ProviderConfig::config(ProviderID::anthropic).baseURL;
}

// The "text" blocks of the reply joined in order; other block types (tool
// use, thinking) are skipped.
std::string replyText(std::string_view body) {
    const auto json = NetworkJson::parse(body);
    if (!json || !json->is_object()) {
        return {};
    }
    const auto content = json->find("content");
    if (content == json->end() || !content->is_array()) {
        return {};
    }
    std::string joined;
    for (const auto& block : *content) {
        const auto* type = NetworkJson::stringMember(block, "type");
        if (type == nullptr || *type != "text") {
            continue;
        }
        if (const auto* text = NetworkJson::stringMember(block, "text")) {
            joined += *text;
        }
    }
    return Text::trimmed(joined);
}

// {"model", "max_tokens", "system", "messages": [one user message]} and nothing more.
std::string messagesBody(const std::string& model, const std::string& system,
                         const std::string& user) {
    return "{\"model\":" + NetworkJson::quoted(model) +
           ",\"max_tokens\":" + std::to_string(AnthropicProvider::maxTokens) +
           ",\"system\":" + NetworkJson::quoted(system) +
           ",\"messages\":[{\"role\":\"user\",\"content\":" + NetworkJson::quoted(user) + "}]}";
}

} // namespace

AnthropicProvider::AnthropicProvider(const ProviderConfig& config,
                                     std::optional<std::string> apiKey, HttpSession& session)
    : DescribedProvider(ProviderID::anthropic, "Anthropic Claude", config.availableModels, true)
    , baseURL_(baseURLOrDefault(config))
    , apiKey_(ProviderHttp::headerSafeKey(apiKey))
    , session_(session) {}

bool AnthropicProvider::isAvailable() {
    return apiKey_.has_value();
}

const std::string& AnthropicProvider::requireKey() const {
    if (!apiKey_) {
        throw ProviderError::missingAPIKey(displayName());
    }
    return *apiKey_;
}

Url AnthropicProvider::endpoint(std::string_view component) const {
    // Only reachable if the built-in root failed to parse.
    if (!baseURL_) {
        throw ProviderError::providerUnavailable("No endpoint configured for " + displayName() +
                                                 ".");
    }
    return baseURL_->appendingPathComponent(component);
}

std::string AnthropicProvider::enhance(const std::string& system, const std::string& user,
                                       const std::string& model, std::stop_token stop) {
    const std::string& key = requireKey();
    const HttpRequest request{
        .method = "POST",
        .url = endpoint("messages").text(),
        .headers = {{"content-type", "application/json"},
                    {"x-api-key", key},
                    {"anthropic-version", version}},
        .body = messagesBody(model, system, user),
        .timeout = std::chrono::seconds(60),
    };
    std::string text = replyText(ProviderHttp::send(session_, request, stop, apiKey_));
    if (text.empty()) {
        throw ProviderError::emptyResponse();
    }
    return text;
}

std::vector<std::string> AnthropicProvider::fetchModels(std::stop_token stop) {
    const std::string& key = requireKey();
    const HttpRequest request{
        .method = "GET",
        .url = endpoint("models").text(),
        .headers = {{"x-api-key", key}, {"anthropic-version", version}},
        .body = {},
        .timeout = std::chrono::seconds(30),
    };
    return ProviderHttp::modelIdentifiers(ProviderHttp::send(session_, request, stop, apiKey_));
}

} // namespace quorvane
