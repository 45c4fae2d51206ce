#pragma once

#include "ProviderID.h"
#include "platform/http/Url.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// A provider's built-in description: endpoint root, models, and whether a key is needed.
struct ProviderConfig {
    ProviderID id = ProviderID::appleFoundation;
    std::string displayName;
    std::optional<Url> baseURL;
    std::vector<std::string> availableModels;
    std::string defaultModel;
    bool requiresAPIKey = false;

    bool operator==(const ProviderConfig&) const = default;

    // The seven built-in entries in ProviderID order, built once on first use.
    static const std::vector<ProviderConfig>& all();

    // The entry whose id matches; the first entry of the table when none does.
    static const ProviderConfig& config(ProviderID id);
};

} // namespace quorvane
