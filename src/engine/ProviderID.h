#pragma once

#include "EnumTraits.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

enum class ProviderID { appleFoundation, anthropic, openAI, openRouter, groq, ollama, custom };

template <>
struct EnumTraits<ProviderID> {
    static constexpr std::array<std::pair<ProviderID, std::string_view>, 7> cases{{
        {ProviderID::appleFoundation, "appleFoundation"},
        {ProviderID::anthropic, "anthropic"},
        {ProviderID::openAI, "openAI"},
        {ProviderID::openRouter, "openRouter"},
        {ProviderID::groq, "groq"},
        {ProviderID::ollama, "ollama"},
        {ProviderID::custom, "custom"},
    }};
};

// The environment variables that may hold the provider's API key, in lookup order.
const std::vector<std::string>& environmentVariableNames(ProviderID id);

// The first non-blank value of environmentVariableNames(id), trimmed.
std::optional<std::string> environmentAPIKey(ProviderID id);

} // namespace quorvane
