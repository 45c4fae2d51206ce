#include "ui/windows/OnboardingView.h"

#include "engine/ProviderConfig.h"
#include "platform/defaults/UserDefaults.h"
#include "shell/ApplicationWindow.h"
#include "state/SettingsStore.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/KitButton.h"
#include "ui/windows/SecureKeyField.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <cstdlib>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using test::ViewTestState;

class OnboardingViewTest : public ::testing::Test {
protected:
    OnboardingViewTest() {
        for (const ProviderConfig& config : ProviderConfig::all()) {
            for (const std::string& name : environmentVariableNames(config.id)) {
                unsetenv(name.c_str());
            }
        }
    }

    AppState& state() { return fixture.state(); }

    void choose(OnboardingView& view, ProviderID id) {
        QComboBox* picker = view.providerPicker();
        const int index = picker->findData(int(id));
        picker->setCurrentIndex(index);
        emit picker->activated(index);
        ViewTestState::processEvents();
    }

    std::string counter(const OnboardingView& view) {
        return view.counterLabel()->text().toStdString();
    }

    ViewTestState fixture;
    int finished = 0;
};

TEST_F(OnboardingViewTest, CountsThePagesOfTheProvidersSequence) {
    struct Case {
        ProviderID provider;
        std::vector<int> steps;
    };
    const std::vector<Case> cases{
        {ProviderID::anthropic, {0, 1, 2, 3, 4}},
        {ProviderID::appleFoundation, {0, 1, 3, 4}},
        {ProviderID::ollama, {0, 1, 3, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(rawValue(c.provider)));
        OnboardingView view(state(), [] {});
        state().setProviderID(c.provider);
        ViewTestState::processEvents();
        const auto total = std::to_string(c.steps.size());
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(view.step(), c.steps[i]);
            EXPECT_EQ(counter(view), std::to_string(i + 1) + " of " + total);
            EXPECT_EQ(view.pages()->currentIndex(), c.steps[i]);
            if (i + 1 < c.steps.size()) {
                view.advance();
            }
        }
        for (std::size_t i = c.steps.size(); i-- > 1;) {
            view.goBack();
            EXPECT_EQ(view.step(), c.steps[i - 1]) << "Back skips what the sequence skips";
        }
        view.goBack();
        EXPECT_EQ(view.step(), 0);
        EXPECT_TRUE(view.backButton()->isHidden()) << "no Back on the welcome page";
    }
}

TEST_F(OnboardingViewTest, ContinueOnTheKeyPageNeedsAKeyFromSomewhere) {
    struct Case {
        const char* name;
        QString draft;
        bool stored;
        bool environment;
        bool enabled;
    };
    const std::vector<Case> cases{
        {"nothing", "", false, false, false},
        {"spaces and tabs are empty", " \t ", false, false, false},
        {"a line break is not", "\n", false, false, true},
        {"typed", "sk-ant", false, false, true},
        {"stored elsewhere", "", true, false, true},
        {"from the environment", "", false, true, true},
    };
    const std::string variable = environmentVariableNames(ProviderID::anthropic).front();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixture.keys().setKey("", ProviderID::anthropic);
        OnboardingView view(state(), [] {});
        state().setProviderID(ProviderID::anthropic);
        view.advance();
        view.advance();
        ASSERT_EQ(view.step(), OnboardingView::apiKey);
        view.editKeyDraft(c.draft);
        if (c.stored) {
            fixture.keys().setKey("sk-elsewhere", ProviderID::anthropic);
            state().sendObjectWillChange();
        }
        if (c.environment) {
            setenv(variable.c_str(), "sk-env", 1);
        }
        ViewTestState::processEvents();
        EXPECT_EQ(view.primaryButton()->isEnabled(), c.enabled);
        unsetenv(variable.c_str());
    }
}

TEST_F(OnboardingViewTest, TypedKeysAreStoredAndFollowTheProvider) {
    fixture.keys().setKey("sk-openai", ProviderID::openAI);
    OnboardingView view(state(), [] {});
    choose(view, ProviderID::anthropic);
    view.advance();
    view.advance();
    EXPECT_EQ(view.keyField()->text(), "");
    EXPECT_EQ(view.keyLink()->text().toStdString(),
              "Get an API key from " + ProviderConfig::config(ProviderID::anthropic).displayName);
    EXPECT_FALSE(view.keyLink()->isHidden());

    QTest::keyClicks(view.keyField()->lineEdit(), "sk-ant");
    EXPECT_EQ(state().keyStore().key(ProviderID::anthropic), "sk-ant") << "stored on each edit";
    EXPECT_TRUE(view.primaryButton()->isEnabled());

    view.goBack();
    choose(view, ProviderID::openAI);
    EXPECT_EQ(view.keyDraft(), "sk-openai");
    EXPECT_EQ(view.keyField()->text(), "sk-openai");

    choose(view, ProviderID::custom);
    EXPECT_TRUE(view.keyLink()->isHidden()) << "the custom provider has no key page";
}

TEST_F(OnboardingViewTest, KeyPagesOfTheCloudProviders) {
    EXPECT_EQ(OnboardingView::keyPageURL(ProviderID::anthropic),
              "https://console.anthropic.com/settings/keys");
    EXPECT_EQ(OnboardingView::keyPageURL(ProviderID::openAI),
              "https://platform.openai.com/api-keys");
    EXPECT_EQ(OnboardingView::keyPageURL(ProviderID::openRouter), "https://openrouter.ai/keys");
    EXPECT_EQ(OnboardingView::keyPageURL(ProviderID::groq), "https://console.groq.com/keys");
    EXPECT_EQ(OnboardingView::keyPageURL(ProviderID::custom), std::nullopt);
}

TEST_F(OnboardingViewTest, AKeyPageLeftBehindByAProviderChangeCountsAsTheFirst) {
    // Switched in the settings, or forced back to on-device by showing the walkthrough again.
    for (const ProviderID keyless : {ProviderID::ollama, ProviderID::appleFoundation}) {
        SCOPED_TRACE(std::string(rawValue(keyless)));
        OnboardingView view(state(), [] {});
        state().setProviderID(ProviderID::anthropic);
        view.advance();
        view.advance();
        state().setProviderID(keyless);
        ViewTestState::processEvents();
        EXPECT_EQ(counter(view), "1 of 4");
        view.goBack();
        EXPECT_EQ(view.step(), OnboardingView::apiKey) << "Back does nothing at the first position";
        EXPECT_TRUE(view.primaryButton()->isEnabled()) << "a keyless provider asks for no key";
        view.primaryButton()->click();
        EXPECT_EQ(view.step(), OnboardingView::provider);
    }
}

// This system has no on-device model: a first run starts on a provider that can work, with its
// key page, and any provider can still be picked.
TEST_F(OnboardingViewTest, AnUnfinishedWalkthroughStartsOnOpenAI) {
    state().setProviderID(ProviderID::appleFoundation);
    OnboardingView view(state(), [] {});
    view.show();
    ViewTestState::processEvents();
    EXPECT_EQ(state().providerID(), ProviderID::openAI);
    EXPECT_EQ(state().model(), ProviderConfig::config(ProviderID::openAI).defaultModel);
    EXPECT_EQ(SettingsStore(fixture.defaults()).activeProvider(), ProviderID::openAI)
        << "persisted";
    EXPECT_EQ(counter(view), "1 of 5");
    view.advance();
    view.advance();
    EXPECT_EQ(view.step(), OnboardingView::apiKey);
    EXPECT_EQ(view.pages()->currentIndex(), OnboardingView::apiKey);

    view.goBack();
    choose(view, ProviderID::ollama);
    EXPECT_EQ(state().providerID(), ProviderID::ollama);
    EXPECT_EQ(counter(view), "2 of 4");
}

// The walkthrough speaks of this computer, its tray and its shortcut as this desktop writes it.
TEST_F(OnboardingViewTest, ThePagesDescribeThisComputer) {
    OnboardingView view(state(), [] {});
    view.show();
    state().setProviderID(ProviderID::appleFoundation);
    ViewTestState::processEvents();
    QStringList shown;
    for (const QLabel* label : view.findChildren<QLabel*>()) {
        shown << label->text();
    }
    for (const char* text : {
             "It lives in your system tray — look for the wand icon. Click it (or use the global "
             "shortcut) to turn a rough draft into a production-quality prompt.",
             "Your drafts and keys stay on this computer. Nothing is sent anywhere unless you pick "
             "a cloud provider.",
             "Stored in a private, encrypted file on this computer — never in a keyring, never "
             "sent to us.",
             "Press the global shortcut or click the wand in your system tray to thrim your first "
             "prompt. Free forever — donations optional.",
             "On-device, free, offline. Nothing leaves this computer.",
             "Ctrl+Shift+E",
         }) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(text))) << text;
    }
}

TEST_F(OnboardingViewTest, FinishingSetsTheFlagFirstAndResumesOnTheDonePage) {
    std::vector<bool> flagAtFinish;
    OnboardingView view(state(), [&] { flagAtFinish.push_back(state().hasCompletedOnboarding()); });
    view.show();
    ViewTestState::processEvents();
    choose(view, ProviderID::ollama);
    for (int i = 0; i < 3; ++i) {
        view.primaryButton()->click();
    }
    ASSERT_EQ(view.step(), OnboardingView::done);
    EXPECT_EQ(view.primaryButton()->text(), "Start thriming");
    view.primaryButton()->click();
    EXPECT_EQ(flagAtFinish, std::vector<bool>{true});
    EXPECT_TRUE(SettingsStore(fixture.defaults()).hasCompletedOnboarding()) << "persisted";

    view.hide();
    state().setProviderID(ProviderID::groq);
    view.show();
    ViewTestState::processEvents();
    EXPECT_EQ(view.step(), OnboardingView::done) << "shown again, it resumes";
    EXPECT_EQ(state().providerID(), ProviderID::groq)
        << "a finished walkthrough keeps the provider";
    EXPECT_EQ(view.primaryButton()->text(), "Start thriming");
    view.primaryButton()->click();
    EXPECT_EQ(flagAtFinish.size(), 2u);
    view.goBack();
    EXPECT_EQ(view.step(), OnboardingView::options);
}

// Every page of the walkthrough in the onboarding window as the program shows it.
TEST_F(OnboardingViewTest, SavesSnapshotsWhenAsked) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    // A returning user's walkthrough keeps the provider, so that the key page is in it.
    state().setHasCompletedOnboarding(true);
    state().setProviderID(ProviderID::anthropic);
    test::ProgramWindows windows(state());
    const char* names[] = {"welcome", "provider", "apikey", "options", "done"};
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        ApplicationWindow& window = windows.onboarding();
        auto* view = qobject_cast<OnboardingView*>(window.content());
        while (view->step() != OnboardingView::welcome) {
            view->goBack();
        }
        for (const char* name : names) {
            test::ProgramWindows::settle(window);
            test::Snapshots::save(window,
                                  QStringLiteral("onboarding-") + QString::fromLatin1(name));
            // The key page waits for a key before it lets the walkthrough go on.
            if (view->step() == OnboardingView::apiKey) {
                view->editKeyDraft(QStringLiteral("sk-ant-example"));
            }
            view->advance();
        }
    }
}

} // namespace
} // namespace quorvane
