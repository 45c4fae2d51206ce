#include "state/AppShortcutStore.h"

#include "platform/defaults/UserDefaults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quorvane {
namespace {

class AppShortcutStoreTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(file); }

    void writeFile(const std::string& json) { std::ofstream(file) << json; }

    const std::filesystem::path file = std::filesystem::path(std::getenv("TMPDIR")) / "t.json";
};

TEST_F(AppShortcutStoreTest, FreshDefaultsGiveBuiltInsAndWriteNothing) {
    UserDefaults defaults(file);
    AppShortcutStore store(defaults);
    EXPECT_EQ(store.shortcuts(), AppShortcuts::builtIn());
    EXPECT_FALSE(defaults.contains(AppShortcutStore::key));
}

TEST_F(AppShortcutStoreTest, StoredValueMissingAnActionLoadsAsAllBuiltIns) {
    auto shortcuts = AppShortcuts::builtIn();
    shortcuts.clear = {2, 0x0100, "D"};
    auto json = *shortcuts.encoded();
    const auto fiveActions = json.substr(0, json.find(R"(,"settings")")) + "}";
    {
        UserDefaults defaults(file);
        defaults.setData(AppShortcutStore::key, fiveActions);
    }
    UserDefaults defaults(file);
    AppShortcutStore store(defaults);
    EXPECT_EQ(store.shortcuts(), AppShortcuts::builtIn());
    EXPECT_EQ(defaults.dataValue(AppShortcutStore::key), fiveActions);
}

TEST_F(AppShortcutStoreTest, ValueNotStoredAsDataLoadsAsBuiltIns) {
    auto shortcuts = AppShortcuts::builtIn();
    shortcuts.clear = {2, 0x0100, "D"};
    writeFile(R"({"quorvane.appShortcuts.v1": )" + *shortcuts.encoded() + "}");
    UserDefaults defaults(file);
    EXPECT_EQ(AppShortcutStore(defaults).shortcuts(), AppShortcuts::builtIn());
}

TEST_F(AppShortcutStoreTest, EveryAssignmentSavesAndNotifies) {
    UserDefaults defaults(file);
    AppShortcutStore store(defaults);
    std::vector<AppShortcuts> seen;
    store.setOnChanged([&](const AppShortcuts& value) { seen.push_back(value); });

    const HotkeyConfig clear{2, 0x0900, "D"};
    store.setShortcut(AppShortcutAction::clear, clear);
    EXPECT_EQ(store.shortcuts().clear, clear);
    EXPECT_EQ(AppShortcutStore(defaults).shortcuts(), store.shortcuts());

    // Assigning an unchanged value still writes.
    defaults.remove(AppShortcutStore::key);
    store.setShortcuts(store.shortcuts());
    EXPECT_EQ(AppShortcutStore(defaults).shortcuts().clear, clear);

    ASSERT_EQ(seen.size(), 2U);
    EXPECT_EQ(seen[0].clear, clear);

    UserDefaults reopened(file);
    EXPECT_EQ(AppShortcutStore(reopened).shortcuts().clear, clear);
}

TEST_F(AppShortcutStoreTest, UnencodableAssignmentKeepsTheStoredData) {
    UserDefaults defaults(file);
    AppShortcutStore store(defaults);
    store.setShortcut(AppShortcutAction::history, {4, 0x0300, "H"});
    const auto before = defaults.dataValue(AppShortcutStore::key);

    store.setShortcut(AppShortcutAction::settings, {43, 0x0100, "\xFF"});
    EXPECT_EQ(defaults.dataValue(AppShortcutStore::key), before);
}

} // namespace
} // namespace quorvane
