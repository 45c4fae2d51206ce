#include "ProviderID.h"

#include "Text.h"

#include <array>
#include <cstdlib>

namespace quorvane {

const std::vector<std::string>& environmentVariableNames(ProviderID id) {
    static const std::array<std::vector<std::string>, 7> names{{
        {},
        {"ANTHROPIC_API_KEY"},
        {"OPENAI_API_KEY"},
        {"OPENROUTER_API_KEY"},
        {"GROQ_API_KEY"},
        {},
        {"THRIM_CUSTOM_API_KEY", "OPENAI_API_KEY"},
    }};
    return names.at(static_cast<std::size_t>(id));
}

std::optional<std::string> environmentAPIKey(ProviderID id) {
    for (const auto& name : environmentVariableNames(id)) {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) {
            continue;
        }
        std::string key = Text::trimmed(value);
        if (!key.empty()) {
            return key;
        }
    }
    return std::nullopt;
}

} // namespace quorvane
