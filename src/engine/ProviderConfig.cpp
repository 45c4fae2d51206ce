#include "ProviderConfig.h"

namespace quorvane {

namespace {

ProviderConfig entry(ProviderID id, std::string displayName, std::string_view baseURL,
                     std::vector<std::string> models, std::string defaultModel,
                     bool requiresAPIKey) {
    return ProviderConfig{
        .id = id,
        .displayName = std::move(displayName),
        .baseURL = baseURL.empty() ? std::nullopt : Url::parse(baseURL),
        .availableModels = std::move(models),
        .defaultModel = std::move(defaultModel),
        .requiresAPIKey = requiresAPIKey,
    };
}

std::vector<ProviderConfig> builtInTable() {
    return {
        entry(ProviderID::appleFoundation, "Apple Foundation Models", "", {"on-device"},
              "on-device", false),
        entry(ProviderID::anthropic, "Anthropic Claude", "https://api.anthropic.com/v1",
              {"claude-opus-4-8", "claude-sonnet-4-6", "claude-haiku-4-5"}, "claude-sonnet-4-6",
              true),
        entry(ProviderID::openAI, "OpenAI", "https://api.openai.com/v1",
              {"gpt-4o", "gpt-4o-mini", "o4-mini"}, "gpt-4o-mini", true),
        entry(ProviderID::openRouter, "OpenRouter", "https://openrouter.ai/api/v1",
              {"openai/gpt-4o-mini", "anthropic/claude-3.5-sonnet",
               "meta-llama/llama-3.3-70b-instruct"},
              "openai/gpt-4o-mini", true),
        entry(ProviderID::groq, "Groq", "https://api.groq.com/openai/v1",
              {"llama-3.3-70b-versatile", "llama-3.1-8b-instant"}, "llama-3.3-70b-versatile", true),
        entry(ProviderID::ollama, "Ollama (local)", "http://127.0.0.1:11434/v1",
              {"llama3.2", "qwen2.5", "mistral"}, "llama3.2", false),
        // The user's base URL is put in by the registry at run time.
        entry(ProviderID::custom, "Custom (OpenAI-compatible)", "", {}, "", true),
    };
}

} // namespace

const std::vector<ProviderConfig>& ProviderConfig::all() {
    static const std::vector<ProviderConfig> table = builtInTable();
    return table;
}

const ProviderConfig& ProviderConfig::config(ProviderID id) {
    const auto& table = all();
    for (const auto& candidate : table) {
        if (candidate.id == id) {
            return candidate;
        }
    }
    return table.front();
}

} // namespace quorvane
