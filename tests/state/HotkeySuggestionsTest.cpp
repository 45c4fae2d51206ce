#include "state/HotkeySuggestions.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(HotkeySuggestionsTest, OffersFiveDistinctCombinationsDefaultFirst) {
    const auto& items = HotkeySuggestions::items();
    std::vector<std::string> ids;
    for (const auto& item : items) {
        ids.push_back(item.id());
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"⇧⌘E", "⇧⌘D", "⇧⌘J", "⌃⌥P", "⌃⌥Space"}));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front().config, HotkeyConfig::defaultHotkey());
    EXPECT_EQ(items.front().note, "default");
    EXPECT_EQ(items[4].config.keyCode, 49U);
}

} // namespace
} // namespace quorvane
