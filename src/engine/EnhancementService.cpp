#include "EnhancementService.h"

#include "MetaPrompt.h"
#include "Text.h"

#include <utility>

namespace quorvane {

namespace {

// The instructions trimmed, or nothing when they are absent or blank.
std::optional<std::string> usable(const std::optional<std::string>& instructions) {
    if (!instructions) {
        return std::nullopt;
    }
    std::string trimmed = Text::trimmed(*instructions);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    return trimmed;
}

} // namespace

EnhancementService::EnhancementService(ProviderRegistry registry)
    : registry_(std::move(registry)) {}

std::string
EnhancementService::systemPrompt(Preset preset, const EnhanceOptions& options,
                                 const std::optional<std::string>& customInstructions,
                                 const std::optional<std::string>& overrideInstructions) {
    if (const auto custom = usable(customInstructions)) {
        return MetaPrompt::system(*custom, options);
    }
    if (const auto replacement = usable(overrideInstructions)) {
        return MetaPrompt::system(*replacement, options);
    }
    return MetaPrompt::system(MetaPrompt::forPreset(preset), options);
}

} // namespace quorvane
