#include "EnhanceOptions.h"

#include "Text.h"

#include <initializer_list>

namespace quorvane {

namespace {

std::optional<std::string> tonePhrase(Tone tone) {
    if (tone == Tone::auto_) {
        return std::nullopt;
    }
    return "a " + std::string(rawValue(tone)) + " tone";
}

std::optional<std::string> lengthPhrase(Length length) {
    switch (length) {
    case Length::auto_:
        return std::nullopt;
    case Length::concise:
        return "keep it concise";
    case Length::balanced:
        return "balanced length";
    case Length::detailed:
        return "be thorough and detailed";
    }
    return std::nullopt;
}

std::optional<std::string> audiencePhrase(const std::string& audience) {
    std::string trimmed = Text::trimmed(audience);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    return "target audience: " + trimmed;
}

} // namespace

bool EnhanceOptions::isDefault() const {
    return tone == Tone::auto_ && length == Length::auto_ && Text::isBlank(audience);
}

std::optional<std::string> EnhanceOptions::preferencesClause() const {
    if (isDefault()) {
        return std::nullopt;
    }
    std::string phrases;
    for (const auto& phrase : {tonePhrase(tone), lengthPhrase(length), audiencePhrase(audience)}) {
        if (!phrase) {
            continue;
        }
        if (!phrases.empty()) {
            phrases += "; ";
        }
        phrases += *phrase;
    }
    if (phrases.empty()) {
        return std::nullopt;
    }
    return "Additional preferences for the rewrite — " + phrases + ".";
}

} // namespace quorvane
