// The history, privacy, support and about sections of the settings form.
#include "platform/appinfo/InfoDictionary.h"
#include "platform/links/Links.h"
#include "shell/ApplicationWindow.h"
#include "support/ProgramWindows.h"
#include "support/Snapshots.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/windows/AboutSection.h"
#include "ui/windows/AboutVersion.h"
#include "ui/windows/HistorySection.h"
#include "ui/windows/PrivacySection.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsView.h"
#include "ui/windows/SupportFormButton.h"
#include "ui/windows/SupportSection.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// Stands in for the browser and the mail program.
class RecordedUrls : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

namespace {

using test::ViewTestState;

HistoryItem historyItem(const std::string& input) {
    return HistoryItem{.id = Uuid::random(),
                       .input = input,
                       .output = "better " + input,
                       .preset = Preset::general,
                       .provider = ProviderID::custom,
                       .timestamp = std::chrono::system_clock::now()};
}

QUrl url(std::string_view text) {
    return QUrl(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

class SettingsInfoSectionsTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(SettingsInfoSectionsTest, HistoryShowsTheCountAndClearAllStoresAnEmptyList) {
    state().setHistory({historyItem("a"), historyItem("b"), historyItem("c")});
    state().historyStore().save(state().history());
    state().setInputText("draft stays");
    HistorySection section(state());
    EXPECT_EQ(section.group()->headerLabel()->text(), QStringLiteral("History"));
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("3 saved (max 20)"));
    ASSERT_TRUE(section.clearButton()->isEnabled());

    section.clearButton()->click();

    EXPECT_TRUE(state().history().empty());
    EXPECT_EQ(fixture_.defaults().dataValue("quorvane.history.v1"), std::string("[]"));
    EXPECT_TRUE(state().historyStore().load().empty());
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("0 saved (max 20)"));
    EXPECT_FALSE(section.clearButton()->isEnabled());
    EXPECT_EQ(state().inputText(), "draft stays");
}

TEST_F(SettingsInfoSectionsTest, HistoryFollowsTheStateOnRefresh) {
    HistorySection section(state());
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("0 saved (max 20)"));
    EXPECT_FALSE(section.clearButton()->isEnabled());

    state().setHistory({historyItem("a")});
    section.refresh();
    EXPECT_EQ(section.countLabel()->text(), QStringLiteral("1 saved (max 20)"));
    EXPECT_TRUE(section.clearButton()->isEnabled());
}

TEST_F(SettingsInfoSectionsTest, TelemetryToggleWritesTheSettingAndFollowsTheState) {
    PrivacySection section(state());
    ASSERT_FALSE(section.telemetryToggle()->isChecked());
    EXPECT_FALSE(section.group()->footerLabel()->isHidden());
    EXPECT_EQ(section.group()->footerLabel()->text(),
              "Off by default. When on, only crash/error diagnostics are sent — never your "
              "prompts, keys, or any personal data. Your drafts and keys stay on this computer.");

    section.telemetryToggle()->click();
    EXPECT_TRUE(state().telemetryEnabled());
    EXPECT_EQ(fixture_.defaults().boolValue("quorvane.telemetryEnabled"), true);

    section.telemetryToggle()->click();
    EXPECT_FALSE(state().telemetryEnabled());
    EXPECT_EQ(fixture_.defaults().boolValue("quorvane.telemetryEnabled"), false);

    state().setTelemetryEnabled(true);
    section.refresh();
    EXPECT_TRUE(section.telemetryToggle()->isChecked());
}

TEST_F(SettingsInfoSectionsTest, LinksOpenTheirPagesWithTheDesktopHandler) {
    RecordedUrls handler;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &handler, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &handler, "open");
    PrivacySection privacy(state());
    SupportSection support(state());
    AboutSection about(state());

    struct Case {
        QPushButton* button;
        QString text;
        std::string_view target;
    };
    const std::vector<Case> cases = {
        {privacy.privacyLink(), "Privacy Policy", Links::privacy},
        {support.sponsorLink(), "GitHub Sponsors", Links::sponsor},
        {support.donateLink(), "Buy Me a Coffee", Links::donate},
        {about.websiteLink(), "Website", Links::website},
        {about.privacyLink(), "Privacy Policy", Links::privacy},
        {about.contactLink(), "Contact support", Links::supportMail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        handler.opened.clear();
        EXPECT_EQ(c.button->text(), c.text);
        c.button->click();
        EXPECT_EQ(handler.opened, std::vector{url(c.target)});
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

// The first column, from the left, that the button paints anything in.
int firstInkedColumn(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() / 2);
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background) {
                return x;
            }
        }
    }
    return -1;
}

TEST_F(SettingsInfoSectionsTest, StretchedButtonsStartTheirLabelAtTheLeadingEdge) {
    for (const bool withSymbol : {true, false}) {
        SupportFormButton button(withSymbol ? QStringLiteral("globe") : QString(),
                                 QStringLiteral("Website"));
        button.resize(400, button.sizeHint().height());
        const int ink = firstInkedColumn(button);
        EXPECT_GE(ink, 0) << withSymbol;
        EXPECT_LT(ink, 40) << withSymbol;
    }
}

TEST_F(SettingsInfoSectionsTest, CopyDiagnosticsReplacesThePasteboardContents) {
    fixture_.pasteboard().setString("something the user copied");
    const long before = fixture_.pasteboard().changeCount();
    AboutSection section(state());

    section.copyDiagnosticsButton()->click();

    EXPECT_EQ(fixture_.pasteboard().string(), state().diagnosticsText());
    // Cleared first, then written: other kinds of content do not survive either.
    EXPECT_EQ(fixture_.pasteboard().changeCount(), before + 2);
    EXPECT_FALSE(section.copyDiagnosticsButton()->toolTip().isEmpty());
}

TEST_F(SettingsInfoSectionsTest, ShowOnboardingAgainPersistsTheFlagBeforeOpening) {
    state().setHasCompletedOnboarding(true);
    std::vector<std::optional<bool>> seenStored;
    state().onShowOnboarding = [&] {
        seenStored.push_back(fixture_.defaults().boolValue("quorvane.hasCompletedOnboarding"));
    };
    AboutSection section(state());

    section.showOnboardingButton()->click();

    EXPECT_EQ(seenStored, (std::vector<std::optional<bool>>{false}));
    EXPECT_FALSE(state().hasCompletedOnboarding());
}

TEST_F(SettingsInfoSectionsTest, CheckForUpdatesCallsTheShellOnce) {
    AboutSection section(state());
    section.checkForUpdatesButton()->click(); // the default closure does nothing

    int checks = 0;
    state().onCheckForUpdates = [&] { ++checks; };
    section.checkForUpdatesButton()->click();
    EXPECT_EQ(checks, 1);

    state().onCheckForUpdates = nullptr;
    section.checkForUpdatesButton()->click();
    EXPECT_EQ(checks, 1);
}

TEST_F(SettingsInfoSectionsTest, VersionTextJoinsReleaseAndBuildWithQuestionMarksForMissingParts) {
    struct Case {
        std::optional<std::string> shortVersion;
        std::optional<std::string> build;
        QString expected;
    };
    for (const Case& c :
         {Case{"1.2", "7", "1.2 (7)"}, Case{std::nullopt, "7", "? (7)"},
          Case{"1.2", std::nullopt, "1.2 (?)"}, Case{std::nullopt, std::nullopt, "? (?)"}}) {
        EXPECT_EQ(AboutVersion::text(c.shortVersion, c.build), c.expected);
    }

    const auto& entries = InfoDictionary::entries();
    const auto release = entries.find("CFBundleShortVersionString");
    const auto build = entries.find("CFBundleVersion");
    ASSERT_NE(release, entries.end());
    ASSERT_NE(build, entries.end());
    AboutSection section(state());
    EXPECT_EQ(section.versionLabel()->text(),
              QString::fromStdString(release->second + " (" + build->second + ")"));
}

// The history, privacy, support and about sections in the settings window as the program shows
// it, scrolled to the end of the form.
TEST_F(SettingsInfoSectionsTest, SavesSnapshotsWhenAsked) {
    if (!test::Snapshots::directory()) {
        GTEST_SKIP() << "QUORVANE_SNAPSHOT_DIR is not set";
    }
    state().setHistory({historyItem("a"), historyItem("b")});
    test::ProgramWindows windows(state());
    for (const auto appearance : {Appearance::light, Appearance::dark}) {
        state().setAppearance(appearance);
        ApplicationWindow& window = windows.settings();
        auto* view = qobject_cast<SettingsView*>(window.content());
        view->scrollArea()->ensureWidgetVisible(view->findChild<HistorySection*>(), 0, 0);
        QScrollBar* bar = view->scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        test::ProgramWindows::settle(window);
        test::Snapshots::save(window, QStringLiteral("settings-info-sections"));
    }
}

} // namespace
} // namespace quorvane

#include "SettingsInfoSectionsTest.moc"
