// The provider for the Anthropic messages interface. The system prompt goes
// in the request's own "system" member, not as a message.
#pragma once

#include "DescribedProvider.h"
#include "ProviderConfig.h"
#include "platform/http/Url.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvane {

class HttpSession;

class AnthropicProvider : public DescribedProvider {
public:
    static constexpr int maxTokens = 2048;
    static constexpr const char* version = "2023-06-01";

    // Without a base URL in the configuration, the built-in Anthropic root is used.
    AnthropicProvider(const ProviderConfig& config, std::optional<std::string> apiKey,
                      HttpSession& session);

    // True when a usable key is set; makes no network call.
    bool isAvailable() override;

    std::string enhance(const std::string& system, const std::string& user,
                        const std::string& model, std::stop_token stop) override;

    std::vector<std::string> fetchModels(std::stop_token stop) override;

    const std::optional<Url>& baseURL() const { return baseURL_; }

private:
    const std::string& requireKey() const;
    Url endpoint(std::string_view component) const;

    std::optional<Url> baseURL_;
    std::optional<std::string> apiKey_;
    HttpSession& session_;
};

} // namespace quorvane
