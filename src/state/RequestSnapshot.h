// What one generation request is made of, copied on the main thread when its
// flow starts. The worker thread that sends the request reads only this copy
// and the registry, never the state object.
#pragma once

#include "engine/EnhanceOptions.h"
#include "engine/Preset.h"
#include "engine/ProviderID.h"

#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

class ProviderRegistry;

struct RequestSnapshot {
    static constexpr const char* emptyDraftMessage = "Nothing to enhance — the draft is empty.";

    std::string inputText; // as typed, untrimmed
    Preset preset = Preset::general;
    ProviderID provider = ProviderID::appleFoundation;
    std::string model;
    EnhanceOptions options;
    // The active custom preset's instructions, when one is active.
    std::optional<std::string> customInstructions;
    // Without a custom preset: the active override's text or the built-in meta-prompt.
    std::optional<std::string> overrideInstructions;

    std::string systemPrompt() const;

    // "Draft:\n" and the trimmed draft. Throws providerUnavailable for a blank draft.
    std::string draftMessage() const;
    // The draft message asking for variation `index`, a phrasing unlike the others'.
    std::string variationMessage(int index) const;
    // The second turn: the draft with the user's answers to the model's questions.
    std::string
    followUpMessage(const std::vector<std::pair<std::string, std::string>>& answers) const;

    // Blocking: builds a fresh provider, checks that it is available and sends
    // the two messages. Throws ProviderError, or CancellationError once stopped.
    std::string send(const ProviderRegistry& registry, const std::string& system,
                     const std::string& user, std::stop_token stop) const;
};

} // namespace quorvane
