#include "RequestSnapshot.h"

#include "engine/EnhancementService.h"
#include "engine/MetaPrompt.h"
#include "engine/ProviderError.h"
#include "engine/ProviderRegistry.h"
#include "engine/Text.h"

#include <string>

namespace quorvane {

std::string RequestSnapshot::systemPrompt() const {
    return EnhancementService::systemPrompt(preset, options, customInstructions,
                                            overrideInstructions);
}

std::string RequestSnapshot::draftMessage() const {
    const std::string draft = Text::trimmed(inputText);
    if (draft.empty()) {
        throw ProviderError::providerUnavailable(emptyDraftMessage);
    }
    return "Draft:\n" + draft;
}

std::string RequestSnapshot::variationMessage(int index) const {
    return draftMessage() + "\n\nVariation " + std::to_string(index) +
           ": give a meaningfully different phrasing or structure from other variations. Reply "
           "with ONLY the rewritten prompt — do not ask clarifying questions; make reasonable "
           "assumptions.";
}

std::string RequestSnapshot::followUpMessage(
    const std::vector<std::pair<std::string, std::string>>& answers) const {
    return MetaPrompt::followUp(inputText, answers);
}

std::string RequestSnapshot::send(const ProviderRegistry& registry, const std::string& system,
                                  const std::string& user, std::stop_token stop) const {
    const auto service = registry.provider(provider);
    if (!service->isAvailable()) {
        throw service->whyUnavailable();
    }
    return service->enhance(system, user, model, std::move(stop));
}

} // namespace quorvane
