#pragma once

#include "EnhancementProvider.h"
#include "ProviderConfig.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorvane {

class HttpSession;

// Builds a fresh provider for every request, so a key or base URL changed in
// the settings takes effect at the next one. The resolvers are called on the
// thread that asks for the provider.
class ProviderRegistry {
public:
    using KeyResolver = std::function<std::optional<std::string>(ProviderID)>;
    using BaseURLResolver = std::function<std::optional<std::string>()>;

    ProviderRegistry(KeyResolver keyResolver, BaseURLResolver customBaseURLResolver);
    // For tests: every HTTP provider it builds sends through this session.
    ProviderRegistry(KeyResolver keyResolver, BaseURLResolver customBaseURLResolver,
                     HttpSession& session);

    // The built-in configuration; for custom, with the user's base URL when it parses.
    ProviderConfig resolvedConfig(ProviderID id) const;

    std::unique_ptr<EnhancementProvider> provider(ProviderID id) const;

private:
    KeyResolver keyResolver_;
    BaseURLResolver customBaseURLResolver_;
    HttpSession& session_;
};

} // namespace quorvane
