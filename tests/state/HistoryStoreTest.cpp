#include "state/HistoryStore.h"

#include "platform/defaults/UserDefaults.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace quorvane {

void PrintTo(const HistoryItem& item, std::ostream* out) {
    *out << item.encoded().value_or("<not encodable>");
}

namespace {

using namespace std::chrono_literals;

using test::LogCapture;

constexpr std::string_view historyKey = "quorvane.history.v1";
constexpr std::string_view unreadableKey = "quorvane.history.v1.unreadable";
constexpr HistoryItem::Timestamp referenceDate{978307200s};

HistoryItem item(int n) {
    Uuid::Bytes id{};
    id[15] = static_cast<std::uint8_t>(n);
    return {Uuid(id),
            "draft " + std::to_string(n),
            "result " + std::to_string(n),
            allCases<Preset>()[static_cast<std::size_t>(n) % 7],
            allCases<ProviderID>()[static_cast<std::size_t>(n) % 7],
            referenceDate + std::chrono::seconds(n) + 500ms};
}

std::vector<HistoryItem> items(int count) {
    std::vector<HistoryItem> list;
    for (int n = 0; n < count; ++n) {
        list.push_back(item(n));
    }
    return list;
}

std::size_t storedItemCount(const UserDefaults& defaults) {
    const auto data = defaults.dataValue(historyKey).value_or("");
    std::size_t count = 0;
    for (std::size_t at = data.find("\"id\""); at != std::string::npos;
         at = data.find("\"id\"", at + 1)) {
        ++count;
    }
    return count;
}

class HistoryStoreTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(file); }

    const std::filesystem::path file = std::filesystem::path(std::getenv("TMPDIR")) / "t.json";
    UserDefaults defaults{file};
    HistoryStore store{defaults};
};

TEST_F(HistoryStoreTest, NothingStoredLoadsEmpty) {
    EXPECT_TRUE(store.load().empty());
}

TEST_F(HistoryStoreTest, SavedListLoadsBackInOrderAfterReopening) {
    store.save(items(3));
    UserDefaults reopened(file);
    EXPECT_EQ(HistoryStore(reopened).load(), items(3));
}

TEST_F(HistoryStoreTest, PrependingKeepsTheNewestTwenty) {
    const auto full = items(20);
    const auto fresh = item(99);
    const auto result = HistoryStore::prepending(fresh, full);
    ASSERT_EQ(result.size(), 20U);
    EXPECT_EQ(result.front(), fresh);
    EXPECT_EQ(std::vector(result.begin() + 1, result.end()),
              std::vector(full.begin(), full.end() - 1));

    EXPECT_EQ(HistoryStore::prepending(fresh, {}), std::vector{fresh});
    EXPECT_EQ(HistoryStore::prepending(fresh, items(2)).size(), 3U);
}

TEST_F(HistoryStoreTest, LongStoredListLoadsItsFirstTwentyWithoutRewriting) {
    const auto stored = items(25);
    store.save(stored);
    const auto loaded = store.load();
    EXPECT_EQ(loaded, std::vector(stored.begin(), stored.begin() + 20));
    EXPECT_EQ(storedItemCount(defaults), 25U);
}

// A newer version may store a preset this one does not know: the other items
// are shown, and the stored value is kept aside before a save replaces it.
TEST_F(HistoryStoreTest, AnUnreadableItemAmongFiveIsSkippedAndItsListKeptAsideBeforeTheNextSave) {
    const auto list = items(5);
    store.save(list);
    auto data = *defaults.dataValue(historyKey);
    const auto preset = "\"preset\":\"" + std::string(rawValue(list[2].preset)) + "\"";
    data.replace(data.find(preset), preset.size(), R"("preset":"futurePreset")");
    defaults.setData(historyKey, data);
    LogCapture logs;

    const auto loaded = store.load();
    EXPECT_EQ(loaded, (std::vector{list[0], list[1], list[3], list[4]}));
    EXPECT_EQ(defaults.dataValue(historyKey), data) << "loading writes nothing";
    EXPECT_FALSE(defaults.contains(unreadableKey));

    store.save(HistoryStore::prepending(item(9), loaded));
    EXPECT_EQ(defaults.dataValue(unreadableKey), data);
    EXPECT_EQ(store.load().size(), 5u);
    store.save(HistoryStore::prepending(item(10), store.load()));
    EXPECT_THAT(logs.messages("app"),
                testing::ElementsAre("quorvane.history.v1 did not decode whole; the stored value "
                                     "is kept as quorvane.history.v1.unreadable"))
        << "copied once";
}

TEST_F(HistoryStoreTest, AnUnreadableListThatCannotBeKeptAsideIsNotReplaced) {
    // So large that a copy beside it would not fit in the settings file.
    const std::string unreadable(9 * 1024 * 1024, '[');
    defaults.setData(historyKey, unreadable);

    store.save(items(2));
    EXPECT_EQ(defaults.dataValue(historyKey), unreadable);
    EXPECT_FALSE(defaults.contains(unreadableKey));
}

TEST_F(HistoryStoreTest, TextsAreCutToOneMebibyteAtACharacterBoundary) {
    auto big = item(1);
    big.input = "a";
    while (big.input.size() <= HistoryStore::maximumTextBytes) {
        big.input += "\xC3\xA9"; // é: the limit falls inside one of these
    }
    big.output = std::string(3 * HistoryStore::maximumTextBytes, 'o');

    const auto recorded = HistoryStore::prepending(big, {}).front();
    EXPECT_EQ(recorded.input, big.input.substr(0, HistoryStore::maximumTextBytes - 1));
    EXPECT_EQ(recorded.output, big.output.substr(0, HistoryStore::maximumTextBytes));

    store.save({big});
    EXPECT_EQ(store.load(), std::vector{recorded});
}

// Twenty replies of the largest size kept would make a settings file too large
// to be read back, and with it every other setting unsaveable.
TEST_F(HistoryStoreTest, AHistoryOfLargeItemsKeepsTheNewestThatFitAndLeavesRoomForOtherSettings) {
    auto list = items(20);
    for (auto& entry : list) {
        entry.input = std::string(HistoryStore::maximumTextBytes, 'i');
        entry.output = std::string(HistoryStore::maximumTextBytes, 'o');
    }
    store.save(list);

    const auto loaded = store.load();
    ASSERT_FALSE(loaded.empty());
    EXPECT_EQ(loaded, std::vector(list.begin(), list.begin() + static_cast<long>(loaded.size())))
        << "the newest, in order";
    EXPECT_LE(defaults.dataValue(historyKey)->size(), HistoryStore::maximumStoredBytes);
    EXPECT_FALSE(defaults.setBool("quorvane.autoCopyOutput", true));
}

TEST_F(HistoryStoreTest, UnreadableStoredValuesLoadEmpty) {
    defaults.setData(historyKey, R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"})");
    EXPECT_TRUE(store.load().empty());
    defaults.setData(historyKey, "[{]");
    EXPECT_TRUE(store.load().empty());
    store.save(items(1));
    defaults.setString(historyKey, *defaults.dataValue(historyKey));
    EXPECT_TRUE(store.load().empty());
}

TEST_F(HistoryStoreTest, ClearingStoresAnEmptyArray) {
    store.save(items(2));
    store.save({});
    EXPECT_EQ(defaults.dataValue(historyKey), "[]");
    EXPECT_TRUE(store.load().empty());
}

TEST_F(HistoryStoreTest, UnencodableItemLeavesThePreviousData) {
    store.save(items(2));
    auto list = items(3);
    list[1].input = "\xC0\x80";
    store.save(list);
    EXPECT_EQ(store.load(), items(2));
}

// Control characters take six bytes each once escaped, so one item of two texts at the cut can
// be larger than the whole budget; it and any item that no longer fits are left out, and the
// older ones that do fit are kept.
TEST_F(HistoryStoreTest, AnItemThatDoesNotFitIsLeftOutAndTheOlderOnesKept) {
    auto list = items(5);
    list[0].input = std::string(HistoryStore::maximumTextBytes, '\x01');
    list[0].output = std::string(HistoryStore::maximumTextBytes, '\x01');
    for (auto* halfTheBudget : {&list[1], &list[2]}) {
        halfTheBudget->input = std::string(HistoryStore::maximumTextBytes, 'i');
        halfTheBudget->output = std::string(HistoryStore::maximumTextBytes, 'o');
    }
    store.save(list);

    EXPECT_EQ(store.load(), (std::vector{list[1], list[3], list[4]}));
    EXPECT_LE(defaults.dataValue(historyKey)->size(), HistoryStore::maximumStoredBytes);
}

} // namespace
} // namespace quorvane
