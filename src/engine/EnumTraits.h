// Raw string values for the engine's and state's enumerations.
//
// Each enumeration specialises EnumTraits with a table of its cases, in case
// order, beside their raw values; rawValue(), fromRawValue() and allCases()
// then work for it without a hand-written switch per type.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace quorvane {

template <typename Enum>
struct EnumTraits; // specialise: static constexpr std::array<std::pair<Enum, std::string_view>, N>
                   // cases

template <typename Enum>
constexpr std::string_view rawValue(Enum value) {
    for (const auto& [candidate, raw] : EnumTraits<Enum>::cases) {
        if (candidate == value) {
            return raw;
        }
    }
    return {};
}

template <typename Enum>
constexpr std::optional<Enum> fromRawValue(std::string_view raw) {
    for (const auto& [candidate, text] : EnumTraits<Enum>::cases) {
        if (text == raw) {
            return candidate;
        }
    }
    return std::nullopt;
}

template <typename Enum>
constexpr auto allCases() {
    constexpr auto& table = EnumTraits<Enum>::cases;
    std::array<Enum, table.size()> result{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        result[i] = table[i].first;
    }
    return result;
}

} // namespace quorvane
