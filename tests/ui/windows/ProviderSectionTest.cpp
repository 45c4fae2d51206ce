#include "ui/windows/ProviderSection.h"

#include "ProviderSectionFixture.h"
#include "engine/ProviderConfig.h"
#include "support/ViewTestState.h"
#include "ui/windows/SecureKeyField.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace quorvane {
namespace {

using test::keyVariables;
using test::ViewTestState;

using ProviderSectionTest = test::ProviderSectionFixture;

// The badge, the placeholder, the status symbol and the explanation for each
// place the key can come from.
TEST_F(ProviderSectionTest, KeySourceIsShownEverywhere) {
    struct Case {
        const char* name;
        ProviderID provider;
        const char* environmentVariable; // set to a key, or nullptr
        const char* storedKey;           // or nullptr
        const char* badge;
        const char* badgeSymbol;
        const char* placeholder;
        const char* statusSymbol;
        const char* explanationPart;
    };
    const Case cases[] = {
        {"stored", ProviderID::anthropic, nullptr, "sk-stored", "Key saved",
         "checkmark.circle.fill", "sk-…", "checkmark.circle.fill", "Sent only to Anthropic"},
        {"environment", ProviderID::anthropic, "ANTHROPIC_API_KEY", nullptr, "ANTHROPIC_API_KEY",
         "terminal.fill", "set in environment", "terminal",
         "Using ANTHROPIC_API_KEY from your shell environment."},
        {"stored wins over environment", ProviderID::groq, "GROQ_API_KEY", "gsk-1", "Key saved",
         "checkmark.circle.fill", "sk-…", "checkmark.circle.fill", "set GROQ_API_KEY instead."},
        {"none", ProviderID::openRouter, nullptr, nullptr, "No key",
         "exclamationmark.triangle.fill", "sk-…", "key.slash", "set OPENROUTER_API_KEY instead."},
        {"custom via OPENAI_API_KEY", ProviderID::custom, "OPENAI_API_KEY", nullptr,
         "THRIM_CUSTOM_API_KEY", "terminal.fill", "set in environment", "terminal",
         "Using THRIM_CUSTOM_API_KEY from your shell"},
        {"custom without key", ProviderID::custom, nullptr, nullptr, "No key",
         "exclamationmark.triangle.fill", "sk-…", "key.slash", "set THRIM_CUSTOM_API_KEY instead."},
        {"ollama", ProviderID::ollama, nullptr, nullptr, "Local server", "desktopcomputer", nullptr,
         nullptr, nullptr},
        {"on-device", ProviderID::appleFoundation, "OPENAI_API_KEY", nullptr, "On-device",
         "checkmark.seal.fill", nullptr, nullptr, nullptr},
    };
    fixture_.keys().setKey("", ProviderID::custom);
    markCloudProvidersFetched();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : keyVariables) {
            unsetenv(name);
        }
        if (c.environmentVariable != nullptr) {
            setenv(c.environmentVariable, "sk-from-env", 1);
        }
        fixture_.keys().setKey(c.storedKey != nullptr ? c.storedKey : "", c.provider);
        state().setProviderID(c.provider);
        section().loadKeyDraft();
        settle();

        EXPECT_EQ(section().badgeText().toStdString(), c.badge);
        EXPECT_EQ(section().badgeSymbol().toStdString(), c.badgeSymbol);
        if (c.placeholder == nullptr) {
            EXPECT_FALSE(section().keyBlock()->isVisibleTo(&section()));
            continue;
        }
        ASSERT_TRUE(section().keyBlock()->isVisibleTo(&section()));
        EXPECT_EQ(section().keyField()->text().toStdString(),
                  c.storedKey != nullptr ? c.storedKey : "");
        EXPECT_EQ(section().keyField()->placeholderText().toStdString(), c.placeholder);
        EXPECT_EQ(section().keyStatusSymbol().toStdString(), c.statusSymbol);
        EXPECT_TRUE(section().keyExplanation()->text().contains(c.explanationPart))
            << section().keyExplanation()->text().toStdString();
    }
}

// Which rows, notes, links and footers each provider shows.
TEST_F(ProviderSectionTest, RowsFollowTheProvider) {
    struct Case {
        ProviderID provider;
        bool baseUrl;
        bool keyBlock;
        bool ollamaNote;
        bool onDeviceNote;
        bool refreshEnabled;
        const char* keyPage; // "" when the provider has no link
        const char* footer;
    };
    const Case cases[] = {
        {ProviderID::appleFoundation, false, false, false, true, false, "", ""},
        {ProviderID::anthropic, false, true, false, false, true,
         "https://console.anthropic.com/settings/keys", "1 models · fetched live"},
        {ProviderID::openAI, false, true, false, false, true,
         "https://platform.openai.com/api-keys", "1 models · fetched live"},
        {ProviderID::openRouter, false, true, false, false, true, "https://openrouter.ai/keys",
         "1 models · fetched live"},
        {ProviderID::groq, false, true, false, false, true, "https://console.groq.com/keys",
         "1 models · fetched live"},
        {ProviderID::ollama, false, false, true, false, true, "", "1 models · fetched live"},
        {ProviderID::custom, true, true, false, false, true, "", "2 models · fetched live"},
    };
    markCloudProvidersFetched();
    auto fetched = state().fetchedModels();
    fetched[ProviderID::appleFoundation] = {"would-be-listed"};
    fetched[ProviderID::custom] = {"test-model", "other-model"};
    state().setFetchedModels(fetched);
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.provider));
        state().setProviderID(c.provider);
        settle();
        const QWidget* root = &section();
        EXPECT_EQ(section().baseUrlRow()->isVisibleTo(root), c.baseUrl);
        EXPECT_EQ(section().keyBlock()->isVisibleTo(root), c.keyBlock);
        EXPECT_EQ(section().ollamaNote()->isVisibleTo(root), c.ollamaNote);
        EXPECT_EQ(section().onDeviceNote()->isVisibleTo(root), c.onDeviceNote);
        EXPECT_EQ(section().refreshButton()->isEnabled(), c.refreshEnabled);
        EXPECT_EQ(ProviderSection::keyPageUrl(c.provider).toStdString(), c.keyPage);
        EXPECT_EQ(section().keyPageLink()->isVisibleTo(root), *c.keyPage != '\0');
        EXPECT_EQ(section().group()->footerLabel()->text().toStdString(), c.footer);
    }
    EXPECT_TRUE(section().refreshButton()->toolTip().endsWith("Custom (OpenAI-compatible)"));
}

TEST_F(ProviderSectionTest, BaseUrlIsStoredAsTyped) {
    fixture_.keys().setKey("", ProviderID::custom);
    state().setCustomBaseURL("");
    settle();
    EXPECT_EQ(section().baseUrlField()->placeholderText().toStdString(),
              "https://api.example.com/v1");
    QTest::keyClicks(section().baseUrlField(), " http://h/v1");
    EXPECT_EQ(state().customBaseURL(), " http://h/v1");
}

// A built-in or fetched list gives a picker bound to the model; an empty
// list gives the free "model-id" field.
TEST_F(ProviderSectionTest, ModelControlFollowsTheList) {
    fixture_.keys().setKey("", ProviderID::custom);
    state().setFetchedModels({{ProviderID::custom, {}}});
    settle();
    EXPECT_FALSE(section().modelPicker()->isVisibleTo(&section()));
    ASSERT_TRUE(section().modelField()->isVisibleTo(&section()));
    EXPECT_EQ(section().modelField()->placeholderText().toStdString(), "model-id");
    section().modelField()->clear();
    QTest::keyClicks(section().modelField(), "my-model");
    EXPECT_EQ(state().model(), "my-model");
    EXPECT_EQ(section().group()->footerLabel()->text().toStdString(), "");

    state().setFetchedModels({{ProviderID::custom, {"a-model", "b-model"}}});
    settle();
    ASSERT_TRUE(section().modelPicker()->isVisibleTo(&section()));
    EXPECT_FALSE(section().modelField()->isVisibleTo(&section()));
    EXPECT_EQ(section().modelPicker()->count(), 2);
    section().modelPicker()->activated(1);
    EXPECT_EQ(state().model(), "b-model");
    state().setModel("a-model");
    settle();
    EXPECT_EQ(section().modelPicker()->currentText().toStdString(), "a-model");

    // A built-in list counts as such until a fetch replaces it; without a
    // stored key nothing is fetched automatically.
    state().setProviderID(ProviderID::anthropic);
    settle();
    const auto builtIn = ProviderConfig::config(ProviderID::anthropic).availableModels;
    ASSERT_FALSE(builtIn.empty());
    EXPECT_EQ(section().modelPicker()->count(), static_cast<int>(builtIn.size()));
    EXPECT_EQ(section().group()->footerLabel()->text().toStdString(),
              std::to_string(builtIn.size()) + " models · built-in list");
}

TEST_F(ProviderSectionTest, FetchErrorTakesTheFooter) {
    // No stored key, so no automatic fetch clears the error first.
    fixture_.keys().setKey("", ProviderID::custom);
    section();
    state().setModelFetchError("HTTP 500: down");
    settle();
    EXPECT_TRUE(section().group()->footerLabel()->text().contains("HTTP 500: down"));
    EXPECT_TRUE(section().group()->footerLabel()->isVisibleTo(&section()));
}

TEST_F(ProviderSectionTest, ShowingFetchesModelsForAStoredKey) {
    section();
    ASSERT_TRUE(ViewTestState::waitUntil(
        [&] { return state().fetchedModels().contains(ProviderID::custom); }));
    EXPECT_EQ(modelRequests(), 1u);
    settle();
    EXPECT_EQ(section().modelPicker()->count(), 2);
    EXPECT_EQ(section().group()->footerLabel()->text().toStdString(), "2 models · fetched live");

    // Already fetched: appearing again does not fetch; the refresh button does.
    section().hide();
    section().show();
    ViewTestState::processEvents();
    EXPECT_EQ(modelRequests(), 1u);
    QTest::mouseClick(section().refreshButton(), Qt::LeftButton);
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return modelRequests() == 2; }));
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return !state().isFetchingModels(); }));
}

TEST_F(ProviderSectionTest, NoAutomaticFetchWithoutATypedKey) {
    fixture_.keys().setKey("", ProviderID::custom);
    setenv("THRIM_CUSTOM_API_KEY", "sk-env", 1);
    section();
    ViewTestState::processEvents();
    EXPECT_EQ(modelRequests(), 0u);
    EXPECT_FALSE(state().isFetchingModels());

    section().refreshModels();
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return modelRequests() == 1; }));
}

TEST_F(ProviderSectionTest, RefreshIsDisabledWhileFetching) {
    fixture_.keys().setKey("", ProviderID::custom);
    section();
    state().setIsFetchingModels(true);
    settle();
    EXPECT_FALSE(section().refreshButton()->isEnabled());
    EXPECT_TRUE(section().fetchIndicator()->isVisibleTo(&section()));
    state().setIsFetchingModels(false);
    settle();
    EXPECT_TRUE(section().refreshButton()->isEnabled());
    EXPECT_FALSE(section().fetchIndicator()->isVisibleTo(&section()));
}

// Every keystroke is written, trimmed; clearing the field removes the entry
// and the badge falls back to the environment.
TEST_F(ProviderSectionTest, EveryEditIsStoredTrimmed) {
    markCloudProvidersFetched();
    setenv("ANTHROPIC_API_KEY", "sk-env", 1);
    state().setProviderID(ProviderID::anthropic);
    settle();
    ASSERT_EQ(section().badgeText().toStdString(), "ANTHROPIC_API_KEY");
    QLineEdit* edit = section().keyField()->lineEdit();

    QTest::keyClicks(edit, " s");
    EXPECT_EQ(fixture_.keys().key(ProviderID::anthropic), std::optional<std::string>("s"));
    settle();
    EXPECT_EQ(section().badgeText().toStdString(), "Key saved");
    EXPECT_EQ(section().keyExplanation()->text(),
              "Saved to a private, encrypted file in your home folder — no keyring, no password "
              "prompt. Sent only to Anthropic Claude when you enhance — never to us. For maximum "
              "security, set ANTHROPIC_API_KEY instead.");

    QTest::keyClicks(edit, "k-1 ");
    EXPECT_EQ(fixture_.keys().key(ProviderID::anthropic), std::optional<std::string>("sk-1"));
    EXPECT_EQ(section().keyDraft().toStdString(), " sk-1 ");

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(fixture_.keys().key(ProviderID::anthropic), std::nullopt);
    settle();
    EXPECT_EQ(section().badgeText().toStdString(), "ANTHROPIC_API_KEY");
    EXPECT_EQ(section().keyStatusSymbol().toStdString(), "terminal");

    unsetenv("ANTHROPIC_API_KEY");
    state().sendObjectWillChange();
    settle();
    EXPECT_EQ(section().badgeText().toStdString(), "No key");
}

// Switching provider loads that provider's key; the show-key choice stays.
TEST_F(ProviderSectionTest, ProviderChangeReloadsTheKey) {
    markCloudProvidersFetched();
    fixture_.keys().setKey("sk-groq", ProviderID::groq);
    section().keyField()->setKeyShown(true);
    EXPECT_EQ(section().keyField()->text().toStdString(), "sk-test");

    section().providerPicker()->activated(
        section().providerPicker()->findData(static_cast<int>(ProviderID::groq)));
    EXPECT_EQ(state().providerID(), ProviderID::groq);
    settle();
    EXPECT_EQ(section().keyField()->text().toStdString(), "sk-groq");
    EXPECT_TRUE(section().keyField()->isKeyShown());
    EXPECT_EQ(fixture_.keys().key(ProviderID::custom), std::optional<std::string>("sk-test"));
}

// The local model server lists every untagged model with ":latest": the picker selects that
// entry for the model as the user spelt it, and the stored spelling stays.
TEST_F(ProviderSectionTest, ModelPickerSelectsTheListedSpellingOfTheModel) {
    struct Case {
        const char* stored;
        std::vector<std::string> listed;
        const char* selected; // empty: nothing selected
    };
    const Case cases[] = {
        {"llama3.2", {"deepseek-r1:7b", "llama3.2:latest", "mistral:latest"}, "llama3.2:latest"},
        {"qwen2.5:latest", {"deepseek-r1:7b", "qwen2.5"}, "qwen2.5"},
        // The same spelling wins over the other one.
        {"llama3.2:latest", {"llama3.2", "llama3.2:latest"}, "llama3.2:latest"},
        {"llama3.2:1b", {"llama3.2:latest"}, ""},
    };
    state().setProviderID(ProviderID::ollama);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        state().setModel(c.stored);
        state().setFetchedModels({{ProviderID::ollama, c.listed}});
        settle();
        ASSERT_TRUE(section().modelPicker()->isVisibleTo(&section()));
        EXPECT_EQ(section().modelPicker()->currentText().toStdString(), c.selected);
        EXPECT_EQ(section().modelPicker()->currentIndex() < 0, *c.selected == '\0');
        EXPECT_EQ(state().model(), c.stored);
    }
}

} // namespace
} // namespace quorvane
