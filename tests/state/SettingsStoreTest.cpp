#include "state/SettingsStore.h"

#include "engine/ProviderConfig.h"
#include "platform/defaults/UserDefaults.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace quorvane {
namespace {

std::filesystem::path defaultsFile() {
    return std::filesystem::path(std::getenv("TMPDIR")) / "settings.json";
}

// A defaults file written by hand, so each value has exactly the stored type the row needs.
void writeDefaults(const std::string& key, const std::string& jsonValue) {
    std::ofstream(defaultsFile()) << "{\"" << key << "\": " << jsonValue << "}";
}

std::string base64(std::string_view bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (i + 2 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        out += alphabet[(group >> 18) & 0x3F];
        out += alphabet[(group >> 12) & 0x3F];
        out += i + 1 < bytes.size() ? alphabet[(group >> 6) & 0x3F] : '=';
        out += i + 2 < bytes.size() ? alphabet[group & 0x3F] : '=';
    }
    return out;
}

std::string dataJson(std::string_view bytes) {
    return R"({"$data": ")" + base64(bytes) + "\"}";
}

std::string text(bool value) {
    return value ? "true" : "false";
}
std::string text(const std::string& value) {
    return value;
}
std::string text(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}
template <typename Enum>
std::string text(Enum value) {
    return std::string(rawValue(value));
}
std::string text(const HotkeyConfig& config) {
    return config.displayString() + " " + std::to_string(config.keyCode) + " " +
           std::to_string(config.carbonModifiers) + " " + config.keyLabel;
}

using Reader = std::function<std::string(const SettingsStore&)>;
using Writer = std::function<void(SettingsStore&)>;

template <typename Value>
Reader reader(Value (SettingsStore::*getter)() const) {
    return [getter](const SettingsStore& store) { return text((store.*getter)()); };
}

struct SettingRow {
    const char* name;
    std::string key;
    Reader read;
    std::string fallback;
    std::string stored;     // a readable stored value, as JSON
    std::string storedRead; // what it reads as
    std::string wrongType;  // the same setting stored with another type, as JSON
    Writer write;           // the setter call that stores `stored`
};

std::vector<SettingRow> settingRows() {
    const std::string openAIModel = ProviderConfig::config(ProviderID::openAI).defaultModel;
    const std::string jHotkey = R"({"keyCode":38,"carbonModifiers":6144,"keyLabel":"J"})";
    return {
        {"activeProvider", "quorvane.activeProvider", reader(&SettingsStore::activeProvider),
         "openAI", R"("groq")", "groq", "5",
         [](SettingsStore& store) { store.setActiveProvider(ProviderID::groq); }},
        {"activeModel", "quorvane.activeModel",
         [](const SettingsStore& store) { return store.activeModel(); }, openAIModel,
         R"("my-model")", "my-model", "true",
         [](SettingsStore& store) { store.setActiveModel("my-model"); }},
        {"tone", "quorvane.tone", reader(&SettingsStore::tone), "auto", R"("academic")", "academic",
         "1", [](SettingsStore& store) { store.setTone(Tone::academic); }},
        {"length", "quorvane.length", reader(&SettingsStore::length), "auto", R"("detailed")",
         "detailed", "2", [](SettingsStore& store) { store.setLength(Length::detailed); }},
        {"audience", "quorvane.audience", reader(&SettingsStore::audience), "", R"(" kids ")",
         " kids ", "3", [](SettingsStore& store) { store.setAudience(" kids "); }},
        {"customBaseURL", "quorvane.customBaseURL", reader(&SettingsStore::customBaseURL), "",
         R"(" http://h/v1\n")", " http://h/v1\n", "false",
         [](SettingsStore& store) { store.setCustomBaseURL(" http://h/v1\n"); }},
        {"autoPrefill", "quorvane.autoPrefill", reader(&SettingsStore::autoPrefillFromClipboard),
         "true", "false", "false", R"("false")",
         [](SettingsStore& store) { store.setAutoPrefillFromClipboard(false); }},
        {"autoCopyOutput", "quorvane.autoCopyOutput", reader(&SettingsStore::autoCopyOutput),
         "false", "true", "true", "1", [](SettingsStore& store) { store.setAutoCopyOutput(true); }},
        {"enableGlobalHotkey", "quorvane.enableGlobalHotkey",
         reader(&SettingsStore::enableGlobalHotkey), "true", "false", "false", "0",
         [](SettingsStore& store) { store.setEnableGlobalHotkey(false); }},
        {"telemetryEnabled", "quorvane.telemetryEnabled", reader(&SettingsStore::telemetryEnabled),
         "false", "true", "true", R"("true")",
         [](SettingsStore& store) { store.setTelemetryEnabled(true); }},
        {"hasCompletedOnboarding", "quorvane.hasCompletedOnboarding",
         reader(&SettingsStore::hasCompletedOnboarding), "false", "true", "true", "1.0",
         [](SettingsStore& store) { store.setHasCompletedOnboarding(true); }},
        {"showDockIcon", "quorvane.showDockIcon", reader(&SettingsStore::showDockIcon), "true",
         "false", "false", R"("no")", [](SettingsStore& store) { store.setShowDockIcon(false); }},
        {"appearance", "quorvane.appearance", reader(&SettingsStore::appearance), "dark",
         R"("light")", "light", "0",
         [](SettingsStore& store) { store.setAppearance(Appearance::light); }},
        {"popoverHeight", "quorvane.popoverHeight", reader(&SettingsStore::popoverHeight), "600",
         "480.5", "480.5", R"("480")", [](SettingsStore& store) { store.setPopoverHeight(480.5); }},
        {"popoverHeightInteger", "quorvane.popoverHeight", reader(&SettingsStore::popoverHeight),
         "600", "720", "720", "false", [](SettingsStore& store) { store.setPopoverHeight(720); }},
        {"hotkey", "quorvane.hotkey.v1", reader(&SettingsStore::hotkey), "⇧⌘E 14 768 E",
         dataJson(jHotkey), "⌃⌥J 38 6144 J",
         R"("{\"keyCode\":38,\"carbonModifiers\":6144,\"keyLabel\":\"J\"}")",
         [](SettingsStore& store) {
             store.setHotkey({38, 0x1800, "J"});
         }},
    };
}

class SettingsStoreRowTest : public testing::TestWithParam<SettingRow> {
protected:
    void SetUp() override { std::filesystem::remove(defaultsFile()); }
};

TEST_P(SettingsStoreRowTest, EmptyDomainReadsTheDefault) {
    UserDefaults defaults(defaultsFile());
    EXPECT_EQ(GetParam().read(SettingsStore(defaults)), GetParam().fallback);
}

TEST_P(SettingsStoreRowTest, StoredValueReadsBack) {
    writeDefaults(GetParam().key, GetParam().stored);
    UserDefaults defaults(defaultsFile());
    EXPECT_EQ(GetParam().read(SettingsStore(defaults)), GetParam().storedRead);
}

TEST_P(SettingsStoreRowTest, WrongStoredTypeReadsTheDefaultAndStays) {
    writeDefaults(GetParam().key, GetParam().wrongType);
    UserDefaults defaults(defaultsFile());
    EXPECT_EQ(GetParam().read(SettingsStore(defaults)), GetParam().fallback);
    EXPECT_TRUE(defaults.contains(GetParam().key));
}

// The setter stores the value in the form a person reads in the file, and it comes back after
// the file is opened again.
TEST_P(SettingsStoreRowTest, SetterStoresTheFormItsGetterReadsBack) {
    {
        UserDefaults defaults(defaultsFile());
        SettingsStore store(defaults);
        GetParam().write(store);
    }
    std::ifstream file(defaultsFile());
    const auto written = nlohmann::json::parse(file);
    EXPECT_EQ(written,
              nlohmann::json({{GetParam().key, nlohmann::json::parse(GetParam().stored)}}));
    UserDefaults reopened(defaultsFile());
    EXPECT_EQ(GetParam().read(SettingsStore(reopened)), GetParam().storedRead);
}

INSTANTIATE_TEST_SUITE_P(Keys, SettingsStoreRowTest, testing::ValuesIn(settingRows()),
                         [](const auto& info) { return std::string(info.param.name); });

struct UnreadableCase {
    const char* name;
    std::string key;
    std::string stored;
    Reader read;
    std::string expected;
};

class SettingsStoreUnreadableTest : public testing::TestWithParam<UnreadableCase> {};

TEST_P(SettingsStoreUnreadableTest, ReadsAsTheDefault) {
    std::filesystem::remove(defaultsFile());
    writeDefaults(GetParam().key, GetParam().stored);
    UserDefaults defaults(defaultsFile());
    EXPECT_EQ(GetParam().read(SettingsStore(defaults)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsStoreUnreadableTest,
    testing::Values(UnreadableCase{"UnknownProvider", "quorvane.activeProvider", R"("OpenAI")",
                                   reader(&SettingsStore::activeProvider), "openAI"},
                    UnreadableCase{"UnknownTone", "quorvane.tone", R"("angry")",
                                   reader(&SettingsStore::tone), "auto"},
                    UnreadableCase{"UnknownLength", "quorvane.length", R"("Concise")",
                                   reader(&SettingsStore::length), "auto"},
                    UnreadableCase{"AppearanceIsCaseSensitive", "quorvane.appearance", R"("Auto")",
                                   reader(&SettingsStore::appearance), "dark"},
                    UnreadableCase{"AppearanceAuto", "quorvane.appearance", R"("auto")",
                                   reader(&SettingsStore::appearance), "auto"},
                    UnreadableCase{"AppearanceUnknown", "quorvane.appearance", R"("")",
                                   reader(&SettingsStore::appearance), "dark"},
                    UnreadableCase{"HotkeyWithoutLabel", "quorvane.hotkey.v1",
                                   dataJson(R"({"keyCode":14,"carbonModifiers":768})"),
                                   reader(&SettingsStore::hotkey), "⇧⌘E 14 768 E"},
                    UnreadableCase{"HotkeyNotJSON", "quorvane.hotkey.v1",
                                   dataJson("\x01\x02garbage"), reader(&SettingsStore::hotkey),
                                   "⇧⌘E 14 768 E"}),
    [](const auto& info) { return std::string(info.param.name); });

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(defaultsFile()); }
};

TEST_F(SettingsStoreTest, MissingModelFollowsTheStoredProvider) {
    UserDefaults defaults(defaultsFile());
    SettingsStore store(defaults);
    for (const auto provider : allCases<ProviderID>()) {
        store.setActiveProvider(provider);
        EXPECT_EQ(store.activeModel(), ProviderConfig::config(provider).defaultModel)
            << rawValue(provider);
    }
    EXPECT_FALSE(defaults.contains("quorvane.activeModel"));
}

TEST_F(SettingsStoreTest, AStoredOnDeviceProviderStaysTheUsersChoiceAcrossARestart) {
    {
        UserDefaults defaults(defaultsFile());
        SettingsStore(defaults).setActiveProvider(ProviderID::appleFoundation);
    }
    UserDefaults reopened(defaultsFile());
    const SettingsStore store(reopened);
    EXPECT_EQ(store.activeProvider(), ProviderID::appleFoundation);
    EXPECT_EQ(store.activeModel(),
              ProviderConfig::config(ProviderID::appleFoundation).defaultModel);
}

TEST_F(SettingsStoreTest, EnumerationSettersWriteRawStringsThatReadBack) {
    UserDefaults defaults(defaultsFile());
    SettingsStore store(defaults);
    for (const auto provider : allCases<ProviderID>()) {
        store.setActiveProvider(provider);
        EXPECT_EQ(store.activeProvider(), provider);
        EXPECT_EQ(defaults.stringValue("quorvane.activeProvider"), rawValue(provider));
    }
    for (const auto tone : allCases<Tone>()) {
        store.setTone(tone);
        EXPECT_EQ(store.tone(), tone);
        EXPECT_EQ(defaults.stringValue("quorvane.tone"), rawValue(tone));
    }
    for (const auto length : allCases<Length>()) {
        store.setLength(length);
        EXPECT_EQ(store.length(), length);
        EXPECT_EQ(defaults.stringValue("quorvane.length"), rawValue(length));
    }
}

TEST_F(SettingsStoreTest, GettersReadTheDefaultsAtEachCall) {
    UserDefaults defaults(defaultsFile());
    SettingsStore store(defaults);
    EXPECT_TRUE(store.autoPrefillFromClipboard());
    defaults.setBool("quorvane.autoPrefill", false);
    EXPECT_FALSE(store.autoPrefillFromClipboard());
    defaults.setString("quorvane.appearance", "light");
    EXPECT_EQ(store.appearance(), Appearance::light);
}

TEST_F(SettingsStoreTest, HotkeyIsStoredAsJSONDataAndSurvivesReopening) {
    const HotkeyConfig config{49, 0x1800, "Space"};
    {
        UserDefaults defaults(defaultsFile());
        SettingsStore(defaults).setHotkey(config);
        EXPECT_EQ(defaults.dataValue("quorvane.hotkey.v1"),
                  R"({"keyCode":49,"carbonModifiers":6144,"keyLabel":"Space"})");
    }
    UserDefaults reopened(defaultsFile());
    EXPECT_EQ(SettingsStore(reopened).hotkey(), config);
}

TEST_F(SettingsStoreTest, UnencodableHotkeyWritesNothing) {
    UserDefaults defaults(defaultsFile());
    SettingsStore store(defaults);
    const HotkeyConfig config{38, 0x0300, "J"};
    store.setHotkey(config);
    store.setHotkey({38, 0x0300, "\xFE"});
    EXPECT_EQ(store.hotkey(), config);
}

} // namespace
} // namespace quorvane
