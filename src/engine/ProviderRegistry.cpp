#include "ProviderRegistry.h"

#include "AnthropicProvider.h"
#include "AppleFoundationProvider.h"
#include "OpenAICompatibleProvider.h"
#include "Text.h"
#include "platform/http/HttpSession.h"

namespace quorvane {

ProviderRegistry::ProviderRegistry(KeyResolver keyResolver, BaseURLResolver customBaseURLResolver)
    : ProviderRegistry(std::move(keyResolver), std::move(customBaseURLResolver),
                       HttpSession::shared()) {}

ProviderRegistry::ProviderRegistry(KeyResolver keyResolver, BaseURLResolver customBaseURLResolver,
                                   HttpSession& session)
    : keyResolver_(std::move(keyResolver))
    , customBaseURLResolver_(std::move(customBaseURLResolver))
    , session_(session) {}

ProviderConfig ProviderRegistry::resolvedConfig(ProviderID id) const {
    ProviderConfig config = ProviderConfig::config(id);
    if (id != ProviderID::custom || !customBaseURLResolver_) {
        return config;
    }
    const auto typed = customBaseURLResolver_();
    if (!typed) {
        return config;
    }
    const std::string trimmed = Text::trimmed(*typed);
    if (!trimmed.empty()) {
        config.baseURL = Url::parse(trimmed);
    }
    return config;
}

std::unique_ptr<EnhancementProvider> ProviderRegistry::provider(ProviderID id) const {
    if (id == ProviderID::appleFoundation) {
        return std::make_unique<AppleFoundationProvider>();
    }
    const ProviderConfig config = resolvedConfig(id);
    std::optional<std::string> key = keyResolver_ ? keyResolver_(id) : std::nullopt;
    if (id == ProviderID::anthropic) {
        return std::make_unique<AnthropicProvider>(config, std::move(key), session_);
    }
    return std::make_unique<OpenAICompatibleProvider>(config, std::move(key), session_);
}

} // namespace quorvane
