#pragma once

#include "EnhanceOptions.h"
#include "Preset.h"
#include "ProviderRegistry.h"

#include <optional>
#include <string>

namespace quorvane {

// Owns the registry for the whole run and assembles the system prompt of every request.
class EnhancementService {
public:
    explicit EnhancementService(ProviderRegistry registry);

    ProviderRegistry& registry() { return registry_; }
    const ProviderRegistry& registry() const { return registry_; }

    // Custom instructions win over override instructions, which win over the
    // preset's built-in text; blank instructions do not count.
    static std::string systemPrompt(Preset preset, const EnhanceOptions& options,
                                    const std::optional<std::string>& customInstructions,
                                    const std::optional<std::string>& overrideInstructions);

private:
    ProviderRegistry registry_;
};

} // namespace quorvane
