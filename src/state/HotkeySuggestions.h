#pragma once

#include "HotkeyConfig.h"

#include <string>
#include <vector>

namespace quorvane {

// The global combinations the settings window offers, the default first.
struct HotkeySuggestions {
    struct Item {
        HotkeyConfig config;
        std::string note;

        // Items are told apart by what they show.
        std::string id() const { return config.displayString(); }

        bool operator==(const Item&) const = default;
    };

    static const std::vector<Item>& items();
};

} // namespace quorvane
