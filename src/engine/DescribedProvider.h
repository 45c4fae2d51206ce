// The part every built-in provider shares: what it is called, which models it offers and
// whether it needs a key, fixed when it is made.
#pragma once

#include "EnhancementProvider.h"

#include <string>
#include <utility>
#include <vector>

namespace quorvane {

class DescribedProvider : public EnhancementProvider {
public:
    ProviderID id() const final { return id_; }
    const std::string& displayName() const final { return displayName_; }
    const std::vector<std::string>& availableModels() const final { return availableModels_; }
    bool requiresAPIKey() const final { return requiresAPIKey_; }

    // A provider that needs a key is taken to lack it; any other one is only unavailable.
    ProviderError whyUnavailable() const override {
        if (requiresAPIKey_) {
            return ProviderError::missingAPIKey(displayName_);
        }
        return ProviderError::providerUnavailable(displayName_ +
                                                  " is unavailable. Check Settings.");
    }

protected:
    DescribedProvider(ProviderID id, std::string displayName,
                      std::vector<std::string> availableModels, bool requiresAPIKey)
        : id_(id)
        , displayName_(std::move(displayName))
        , availableModels_(std::move(availableModels))
        , requiresAPIKey_(requiresAPIKey) {}

private:
    ProviderID id_;
    std::string displayName_;
    std::vector<std::string> availableModels_;
    bool requiresAPIKey_;
};

} // namespace quorvane
