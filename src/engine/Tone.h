#pragma once

#include "EnumTraits.h"

#include <string_view>

namespace quorvane {

// auto_ is spelled with an underscore because auto is a keyword; its raw value is "auto".
enum class Tone { auto_, professional, casual, friendly, technical, persuasive, academic };

template <>
struct EnumTraits<Tone> {
    static constexpr std::array<std::pair<Tone, std::string_view>, 7> cases{{
        {Tone::auto_, "auto"},
        {Tone::professional, "professional"},
        {Tone::casual, "casual"},
        {Tone::friendly, "friendly"},
        {Tone::technical, "technical"},
        {Tone::persuasive, "persuasive"},
        {Tone::academic, "academic"},
    }};
};

} // namespace quorvane
