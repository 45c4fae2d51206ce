// The provider that runs a request on the system's on-device language model:
// no key, no network. It keeps no session between calls.
#pragma once

#include "EnhancementProvider.h"

#include <string>
#include <vector>

namespace quorvane {

class AppleFoundationProvider final : public EnhancementProvider {
public:
    AppleFoundationProvider();

    ProviderID id() const override { return id_; }
    const std::string& displayName() const override { return displayName_; }
    const std::vector<std::string>& availableModels() const override { return availableModels_; }
    bool requiresAPIKey() const override { return requiresAPIKey_; }

    // True exactly when the default system model reports itself available.
    bool isAvailable() override;

    // One generation on the default system model; the model argument is ignored.
    std::string enhance(const std::string& system, const std::string& user,
                        const std::string& model, std::stop_token stop) override;

    // Always the one entry "on-device".
    std::vector<std::string> fetchModels(std::stop_token stop) override;

private:
    ProviderID id_ = ProviderID::appleFoundation;
    std::string displayName_;
    std::vector<std::string> availableModels_;
    bool requiresAPIKey_ = false;
};

} // namespace quorvane
