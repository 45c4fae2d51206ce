#include "HotkeySuggestions.h"

namespace quorvane {

const std::vector<HotkeySuggestions::Item>& HotkeySuggestions::items() {
    constexpr auto shiftCommand = HotkeyConfig::shiftModifier | HotkeyConfig::commandModifier;
    constexpr auto controlOption = HotkeyConfig::controlModifier | HotkeyConfig::optionModifier;
    static const std::vector<Item> list{
        {HotkeyConfig::defaultHotkey(), "default"},
        {{2, shiftCommand, "D"}, ""},
        {{38, shiftCommand, "J"}, ""},
        {{35, controlOption, "P"}, ""},
        {{49, controlOption, "Space"}, ""},
    };
    return list;
}

} // namespace quorvane
