// What the windows say, read off every widget they hold: texts, tooltips, placeholders,
// accessible names and menu entries. This is a Linux program, so none of it may speak of the
// Mac, its menu bar or its Keychain, nor write a key combination in the Mac's glyphs.
#include "engine/ProviderConfig.h"
#include "support/ViewTestState.h"
#include "ui/panel/HistoryView.h"
#include "ui/panel/PopoverView.h"
#include "ui/windows/OnboardingView.h"
#include "ui/windows/SettingsView.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>

#include <chrono>
#include <memory>
#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

QStringList textsOf(const QObject& root) {
    QStringList texts;
    const auto add = [&](const QString& text) {
        if (!text.isEmpty()) {
            texts << text;
        }
    };
    auto widgets = root.findChildren<QWidget*>();
    if (root.isWidgetType()) {
        widgets.prepend(static_cast<QWidget*>(const_cast<QObject*>(&root)));
    }
    for (const QWidget* widget : widgets) {
        add(widget->toolTip());
        add(widget->accessibleName());
        add(widget->accessibleDescription());
        add(widget->statusTip());
        add(widget->whatsThis());
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            add(label->text());
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            add(button->text());
        }
        if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
            add(line->placeholderText());
        }
        if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) {
            add(plain->placeholderText());
        }
        if (const auto* rich = qobject_cast<const QTextEdit*>(widget)) {
            add(rich->placeholderText());
        }
        if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
            add(combo->placeholderText());
            for (int index = 0; index < combo->count(); ++index) {
                add(combo->itemText(index));
            }
        }
    }
    for (const QAction* action : root.findChildren<QAction*>()) {
        add(action->text());
        add(action->toolTip());
    }
    return texts;
}

// "Needs macOS 26 + Apple Silicon" is true and stays; "this Mac" is not.
void expectNothingOfTheMac(const QObject& window) {
    static const QRegularExpression mac(QStringLiteral("\\bMac\\b"));
    static const QRegularExpression other(QStringLiteral("menu bar|keychain|[⌘⌥⌃⇧]"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QStringList texts = textsOf(window);
    EXPECT_FALSE(texts.isEmpty());
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(mac) || text.contains(other)) << text.toStdString();
    }
}

class WindowTextsTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    // The walk runs in both looks, over each provider's own texts.
    template <typename Check>
    void inEveryLookAndProvider(Check check) {
        for (const Appearance look : {Appearance::light, Appearance::dark}) {
            state().setAppearance(look);
            for (const ProviderConfig& config : ProviderConfig::all()) {
                SCOPED_TRACE(std::string(look == Appearance::dark ? "dark " : "light ") +
                             config.displayName);
                state().setProviderID(config.id);
                ViewTestState::processEvents();
                check();
            }
        }
    }

    ViewTestState fixture_;
};

TEST_F(WindowTextsTest, ThePanelAndItsHistory) {
    state().setInputText("draft");
    state().setOutputText("result");
    state().setFieldMode(FieldMode::result);
    state().setPendingQuestions({"Which language?"});
    state().setVariations({"one", "two"});
    state().setShowAdvanced(true);
    state().setErrorMessage("Something failed.");
    state().setHistory({HistoryItem{Uuid::random(), "input", "output", Preset::general,
                                    ProviderID::openAI, std::chrono::system_clock::now()}});
    PopoverView panel(state(), [] {});
    HistoryView history(state());
    inEveryLookAndProvider([&] {
        panel.refreshNow();
        expectNothingOfTheMac(panel);
        expectNothingOfTheMac(history);
    });
}

TEST_F(WindowTextsTest, TheSettingsAndTheOnboarding) {
    SettingsView settings(state());
    OnboardingView onboarding(state(), [] {});
    inEveryLookAndProvider([&] {
        onboarding.refresh();
        expectNothingOfTheMac(settings);
        expectNothingOfTheMac(onboarding);
    });
}

} // namespace
} // namespace quorvane
