// The one provider for every service that speaks the OpenAI chat-completions
// interface (OpenAI, OpenRouter, Groq, Ollama, a custom base URL). They differ
// only in the base URL, whether a key is required, and the key.
#pragma once

#include "DescribedProvider.h"
#include "ProviderConfig.h"
#include "platform/http/HttpRequest.h"
#include "platform/http/Url.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class HttpSession;

class OpenAICompatibleProvider : public DescribedProvider {
public:
    // Takes id, name, models, key requirement and base URL from the (resolved) configuration.
    OpenAICompatibleProvider(const ProviderConfig& config, std::optional<std::string> apiKey,
                             HttpSession& session);

    // True when there is a base URL and, if a key is required, a usable key.
    bool isAvailable() override;
    // With a key but no usable base URL, the endpoint is what is missing.
    ProviderError whyUnavailable() const override;

    std::string enhance(const std::string& system, const std::string& user,
                        const std::string& model, std::stop_token stop) override;

    // No key check: a missing key is left to the service's answer.
    std::vector<std::string> fetchModels(std::stop_token stop) override;

    const std::optional<Url>& baseURL() const { return baseURL_; }

    // The base URL with one more path component; providerUnavailable without a base URL.
    Url endpoint(std::string_view component) const;

private:
    std::vector<HttpHeader> authorization() const;
    ProviderError missingEndpoint() const;

    std::optional<Url> baseURL_;
    std::optional<std::string> apiKey_;
    HttpSession& session_;
};

} // namespace quorvane
