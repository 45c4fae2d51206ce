#include "OpenAICompatibleProvider.h"

#include "NetworkJson.h"
#include "ProviderError.h"
#include "ProviderHttp.h"
#include "ReplyReader.h"
#include "Text.h"

#include <chrono>

namespace quorvane {

namespace {

// The first choice's message content, trimmed; a reported failure or a
// refusal is thrown as such, anything else without text as emptyResponse.
std::string replyText(std::string body, const std::optional<std::string>& key) {
    const auto reply = ReplyReader::chatCompletion(body);
    if (!reply) {
        throw ProviderError::emptyResponse();
    }
    if (reply->error) {
        throw ProviderHttp::failureInReply(reply->error->status, std::move(body), key);
    }
    if (reply->content && !reply->content->empty()) {
        return std::move(*reply->content);
    }
    if (reply->refusal && !reply->refusal->empty()) {
        throw ProviderError::refused(
            "The model declined: " +
            Text::prefix(*reply->refusal, ProviderError::shownMessageLength));
    }
    throw ProviderError::emptyResponse();
}

// {"model", "messages": [system, user], "stream": false} and nothing more.
// Written into one buffer: the prompts run to thousands of bytes.
std::string chatBody(const std::string& model, const std::string& system, const std::string& user) {
    std::string body;
    body.reserve(model.size() + system.size() + user.size() + 128);
    body += "{\"model\":";
    NetworkJson::appendQuoted(body, model);
    body += ",\"messages\":[{\"role\":\"system\",\"content\":";
    NetworkJson::appendQuoted(body, system);
    body += "},{\"role\":\"user\",\"content\":";
    NetworkJson::appendQuoted(body, user);
    body += "}],\"stream\":false}";
    return body;
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
    return replyText(ProviderHttp::send(session_, request, stop, apiKey_), apiKey_);
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
