#pragma once

#include "Length.h"
#include "Tone.h"

#include <optional>
#include <string>

namespace quorvane {

struct EnhanceOptions {
    Tone tone = Tone::auto_;
    Length length = Length::auto_;
    std::string audience;

    // Tone and length automatic and a blank audience.
    bool isDefault() const;

    // "Additional preferences for the rewrite — ..." or nothing for default options.
    std::optional<std::string> preferencesClause() const;

    bool operator==(const EnhanceOptions&) const = default;
};

} // namespace quorvane
