#include "AnthropicProvider.h"

#include "NetworkJson.h"
#include "ProviderError.h"
#include "ProviderHttp.h"
#include "ReplyReader.h"
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

// The "text" blocks of the reply joined in order and trimmed; other block
// types (tool use, thinking) are skipped. A reported failure or a refusal
// without text is thrown as such, anything else without text as emptyResponse.
std::string replyText(std::string body, const std::optional<std::string>& key) {
    const auto reply = ReplyReader::messages(body);
    if (!reply) {
        throw ProviderError::emptyResponse();
    }
    if (reply->error) {
        throw ProviderHttp::failureInReply(reply->error->status, std::move(body), key);
    }
    std::string text = Text::trimmed(reply->text);
    if (!text.empty()) {
        return text;
    }
    if (reply->stopReason == "refusal") {
        throw ProviderError::refused("The model declined this request.");
    }
    throw ProviderError::emptyResponse();
}

// {"model", "max_tokens", "system", "messages": [one user message]} and nothing more.
// Written into one buffer: the prompts run to thousands of bytes.
std::string messagesBody(const std::string& model, const std::string& system,
                         const std::string& user) {
    std::string body;
    body.reserve(model.size() + system.size() + user.size() + 128);
    body += "{\"model\":";
    NetworkJson::appendQuoted(body, model);
    body += ",\"max_tokens\":" + std::to_string(AnthropicProvider::maxTokens) + ",\"system\":";
    NetworkJson::appendQuoted(body, system);
    body += ",\"messages\":[{\"role\":\"user\",\"content\":";
    NetworkJson::appendQuoted(body, user);
    body += "}]}";
    return body;
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
    return replyText(ProviderHttp::send(session_, request, stop, apiKey_), apiKey_);
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
