#include "shell/AppDelegate.h"

#include "shell/ApplicationWindow.h"
#include "shell/KeyablePanel.h"
#include "shell/SpotlightController.h"
#include "shell/TrayIcon.h"
#include "state/AppState.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/panel/PopoverView.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// Records what the hot key asks of the system; every request succeeds.
class RecordingHotkeyEvents final : public HotkeyEventManager {
public:
    struct Combination {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        bool operator==(const Combination&) const = default;
    };

    HotkeyStatus installEventHandler(EventHandlerProc, void*,
                                     std::optional<EventHandlerRef>& outRef) override {
        outRef = EventHandlerRef{1};
        return HotkeyStatus::noError;
    }
    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID,
                                     std::uint32_t,
                                     std::optional<EventHotKeyRef>& outRef) override {
        active[++next] = {keyCode, modifiers};
        history.push_back({keyCode, modifiers});
        outRef = EventHotKeyRef{next};
        return HotkeyStatus::noError;
    }
    HotkeyStatus unregisterEventHotKey(EventHotKeyRef ref) override {
        active.erase(static_cast<std::uint64_t>(ref));
        return HotkeyStatus::noError;
    }
    HotkeyStatus removeEventHandler(EventHandlerRef) override { return HotkeyStatus::noError; }

    std::map<std::uint64_t, Combination> active;
    std::vector<Combination> history;
    std::uint64_t next = 0;
};

class AppDelegateTest : public testing::Test {
protected:
    AppDelegate& delegate() {
        if (!delegate_) {
            delegate_ = std::make_unique<AppDelegate>(fixture.state(), events, queue);
            delegate_->quitApplication = [this] { ++quits; };
        }
        return *delegate_;
    }

    AppDelegate& launch(QStringList arguments = {QStringLiteral("quorvane")}) {
        delegate().applicationDidFinishLaunching(arguments);
        test::ViewTestState::processEvents();
        return delegate();
    }

    void completeOnboarding() { fixture.state().setHasCompletedOnboarding(true); }

    bool waitForPanel(bool visible) {
        return test::ViewTestState::waitUntil(
            [this, visible] { return delegate().isPanelVisible() == visible; });
    }

    static std::vector<QWidget*> visibleWindows() {
        std::vector<QWidget*> windows;
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible()) {
                windows.push_back(widget);
            }
        }
        return windows;
    }

    static std::vector<QString> titles(const QMenu& menu) {
        std::vector<QString> result;
        for (const auto* action : menu.actions()) {
            result.push_back(action->isSeparator() ? QStringLiteral("---") : action->text());
        }
        return result;
    }

    static QAction* item(const QMenu& menu, const QString& title) {
        for (auto* action : menu.actions()) {
            if (action->text() == title) {
                return action;
            }
        }
        return nullptr;
    }

    test::ViewTestState fixture;
    RecordingHotkeyEvents events;
    QtMainQueue queue;
    int quits = 0;
    std::unique_ptr<AppDelegate> delegate_;
};

TEST_F(AppDelegateTest, FirstRunOpensOnlyTheOnboardingWindowAndWiresTheShell) {
    fixture.state().setHotkey(HotkeyConfig{49, 0x100, "Space"});
    auto& app = launch();

    ASSERT_NE(app.onboardingWindow(), nullptr);
    EXPECT_TRUE(app.onboardingWindow()->isVisible());
    EXPECT_EQ(app.onboardingWindow()->windowTitle(), QStringLiteral("Welcome to Quorvane"));
    EXPECT_EQ(app.onboardingWindow()->size(), QSize(480, 520));
    EXPECT_EQ(visibleWindows(), std::vector<QWidget*>{app.onboardingWindow()});
    EXPECT_EQ(app.currentPanel(), nullptr);
    EXPECT_EQ(app.settingsWindow(), nullptr);

    EXPECT_NE(app.mainMenuBar(), nullptr);
    EXPECT_NE(app.trayIcon(), nullptr);
    EXPECT_TRUE(app.hasUpdater());
    using Combination = RecordingHotkeyEvents::Combination;
    EXPECT_EQ(events.history, (std::vector<Combination>{{49, 0x100}}));
}

TEST_F(AppDelegateTest, LaterRunOpensNoWindow) {
    completeOnboarding();
    auto& app = launch();

    EXPECT_TRUE(visibleWindows().empty());
    EXPECT_EQ(app.onboardingWindow(), nullptr);
    EXPECT_EQ(app.currentPanel(), nullptr);
}

TEST_F(AppDelegateTest, DiagnosticFlagEndsStartUpBeforeMenusHotkeyAndUpdater) {
    completeOnboarding();
    auto& app = launch({QStringLiteral("quorvane"), QStringLiteral("--hotkeytest")});

    EXPECT_EQ(app.mainMenuBar(), nullptr);
    EXPECT_EQ(app.trayIcon(), nullptr);
    EXPECT_FALSE(app.hasUpdater());
    EXPECT_TRUE(events.history.empty());
    // With no updater, asking for a check is harmless.
    app.checkForUpdates();
    fixture.state().onCheckForUpdates();
}

TEST_F(AppDelegateTest, MainMenuHoldsTheApplicationAndEditItems) {
    completeOnboarding();
    auto& app = launch();
    const auto menus = app.mainMenuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(titles(*menus[0]->menu()),
              (std::vector<QString>{"Check for Updates…", "---", "Quit Quorvane"}));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Edit"));
    EXPECT_EQ(titles(*menus[1]->menu()),
              (std::vector<QString>{"Cut", "Copy", "Paste", "Select All"}));

    item(*menus[0]->menu(), "Quit Quorvane")->trigger();
    EXPECT_EQ(quits, 1);
}

TEST_F(AppDelegateTest, DockMenuOffersFiveItemsThatAct) {
    completeOnboarding();
    auto& app = launch();
    std::unique_ptr<QMenu> menu(app.makeDockMenu());

    EXPECT_EQ(titles(*menu), (std::vector<QString>{"Open Quorvane", "Settings…",
                                                   "Check for Updates…", "---", "Quit Quorvane"}));
    EXPECT_EQ(item(*menu, "Settings…")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(item(*menu, "Quit Quorvane")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Each request builds a new menu.
    std::unique_ptr<QMenu> again(app.makeDockMenu());
    EXPECT_NE(again.get(), menu.get());

    item(*menu, "Open Quorvane")->trigger();
    EXPECT_TRUE(waitForPanel(true));
    item(*menu, "Settings…")->trigger();
    ASSERT_NE(app.settingsWindow(), nullptr);
    EXPECT_TRUE(app.settingsWindow()->isVisible());
    EXPECT_TRUE(waitForPanel(false));

    ASSERT_FALSE(events.active.empty());
    item(*menu, "Quit Quorvane")->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(events.active.empty());
}

TEST_F(AppDelegateTest, TrayMenuIsRefilledFromAFreshDockMenu) {
    completeOnboarding();
    auto& app = launch();
    auto* menu = app.trayIcon()->contextMenu();
    const QPointer<QAction> before = menu->actions().front();
    app.trayIcon()->refreshMenu();

    EXPECT_EQ(titles(*menu), (std::vector<QString>{"Open Quorvane", "Settings…",
                                                   "Check for Updates…", "---", "Quit Quorvane"}));
    EXPECT_TRUE(before.isNull());
}

// Records whether the tray and the menu bar already existed when the watched window first painted.
class FirstPaintProbe final : public QObject {
public:
    explicit FirstPaintProbe(AppDelegate& app)
        : app_(app) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            extrasBuiltBeforeFirstPaint =
                app_.trayIcon() != nullptr || app_.mainMenuBar() != nullptr;
        }
        return QObject::eventFilter(watched, event);
    }

    bool painted = false;
    bool extrasBuiltBeforeFirstPaint = false;

private:
    AppDelegate& app_;
};

// A launch that is at once a reopen shows the panel in the event loop's first turn; the tray and
// the menu bar come after its first frame.
TEST_F(AppDelegateTest, TrayAndMenuBarWaitForTheFirstFrameOfAPanelAskedForAtLaunch) {
    completeOnboarding();
    auto& app = delegate();
    app.applicationDidFinishLaunching({QStringLiteral("quorvane")});
    app.handleReopen();
    ASSERT_NE(app.currentPanel(), nullptr);
    FirstPaintProbe probe(app);
    app.currentPanel()->installEventFilter(&probe);

    ASSERT_TRUE(test::ViewTestState::waitUntil([&] { return app.hasFinishedDeferredStartUp(); }));
    EXPECT_TRUE(probe.painted);
    EXPECT_FALSE(probe.extrasBuiltBeforeFirstPaint);
    EXPECT_NE(app.trayIcon(), nullptr);
    EXPECT_NE(app.mainMenuBar(), nullptr);
    EXPECT_TRUE(app.isPanelVisible());
}

TEST_F(AppDelegateTest, QuittingBeforeTheEventLoopTurnsBuildsNoTray) {
    completeOnboarding();
    auto& app = delegate();
    app.applicationDidFinishLaunching({QStringLiteral("quorvane")});
    app.terminate();
    test::ViewTestState::processEvents();

    EXPECT_EQ(app.trayIcon(), nullptr);
    EXPECT_EQ(app.mainMenuBar(), nullptr);
    EXPECT_EQ(quits, 1);
}

TEST_F(AppDelegateTest, ReopenTogglesThePanelUnlessSettingsAreShown) {
    completeOnboarding();
    auto& app = launch();

    EXPECT_TRUE(app.handleReopen());
    EXPECT_TRUE(waitForPanel(true));
    app.handleReopen();
    EXPECT_TRUE(waitForPanel(false));
    app.handleReopen();
    EXPECT_TRUE(waitForPanel(true));

    app.showSettings();
    EXPECT_TRUE(waitForPanel(false));
    app.handleReopen();
    test::ViewTestState::processEvents();
    EXPECT_TRUE(app.settingsWindow()->isVisible());
    EXPECT_FALSE(app.isPanelVisible());

    app.settingsWindow()->close();
    EXPECT_FALSE(app.settingsWindow()->isVisible());
    app.handleReopen();
    EXPECT_TRUE(waitForPanel(true));
}

// The desktop tells of the switch to another application both to the delegate and to the panel;
// whichever hears it first, the work stays for the user's return.
TEST_F(AppDelegateTest, SwitchingToAnotherApplicationKeepsTheWork) {
    completeOnboarding();
    auto& app = launch();
    auto& state = fixture.state();
    app.togglePanel();
    ASSERT_TRUE(waitForPanel(true));
    state.setInputText("half a draft");
    state.setOutputText("a result");
    state.setPendingQuestions({"Which tone?"});
    state.setAnswers({"dry"});

    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(app.isPanelVisible());
    // Longer than the slide out, which would clear at its end.
    QTest::qWait(3 * SpotlightController::hideDurationMs);

    app.togglePanel();
    ASSERT_TRUE(waitForPanel(true));
    EXPECT_EQ(state.inputText(), "half a draft");
    EXPECT_EQ(state.outputText(), "a result");
    EXPECT_EQ(state.pendingQuestions(), std::vector<std::string>{"Which tone?"});
    EXPECT_EQ(state.answers(), std::vector<std::string>{"dry"});
}

TEST_F(AppDelegateTest, EveryHideTheUserAsksForClearsTheWork) {
    completeOnboarding();
    auto& app = launch();
    auto& state = fixture.state();
    const auto view = [&] { return app.currentPanel()->contentView(); };
    const std::pair<const char*, std::function<void()>> hides[] = {
        {"toggle", [&] { app.togglePanel(); }},
        {"Escape", [&] { QTest::keyClick(view(), Qt::Key_Escape); }},
        {"settings", [&] { app.showSettings(); }},
        {"onboarding", [&] { app.showOnboarding(); }},
        {"copy and close",
         [&] {
             state.setOutputText("a result");
             state.setFieldMode(FieldMode::result);
             qobject_cast<PopoverView*>(view())->primaryAction();
         }},
    };
    for (const auto& [name, hide] : hides) {
        SCOPED_TRACE(name);
        app.spotlight().show();
        ASSERT_TRUE(waitForPanel(true));
        state.setInputText("a draft");
        hide();
        EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return app.currentPanel() == nullptr; }));
        EXPECT_EQ(state.inputText(), "");
    }
}

// The settings window is never shorter than its form can be laid out in, grows taller but not
// wider, and every row of every section can be scrolled into sight inside it.
TEST_F(AppDelegateTest, SettingsWindowHoldsItsFormAndEveryRowCanBeScrolledTo) {
    completeOnboarding();
    auto& app = launch();
    app.showSettings();
    test::ViewTestState::processEvents();
    auto* window = static_cast<ApplicationWindow*>(app.settingsWindow());
    auto* view = qobject_cast<SettingsView*>(window->content());
    ASSERT_NE(view, nullptr);
    EXPECT_GE(window->height(), view->minimumHeight());
    EXPECT_EQ(window->minimumHeight(), view->minimumHeight());
    EXPECT_GE(window->maximumHeight(), QLAYOUTSIZE_MAX) << "the user may make it taller";
    EXPECT_EQ(window->maximumWidth(), SettingsView::formWidth);

    int rows = 0;
    for (auto* group : view->findChildren<SettingsGroup*>()) {
        for (QWidget* row : group->rows()) {
            if (!row->isVisibleTo(view)) {
                continue;
            }
            ++rows;
            view->scrollArea()->ensureWidgetVisible(row, 0, 0);
            test::ViewTestState::processEvents();
            const QRect shown(row->mapTo(window, QPoint(0, 0)), row->size());
            EXPECT_TRUE(window->rect().contains(shown))
                << "row " << rows << " of \"" << group->headerLabel()->text().toStdString()
                << "\" cannot be brought into the window";
        }
    }
    EXPECT_GT(rows, 30);
}

TEST_F(AppDelegateTest, SettingsAndOnboardingWindowsAreBuiltOnceAndKept) {
    completeOnboarding();
    auto& app = launch();

    fixture.state().openSettings();
    auto* settings = app.settingsWindow();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->windowTitle(), QStringLiteral("Quorvane Settings"));
    // The form's width, and its minimum height, which is more than the window would have had.
    EXPECT_EQ(settings->size(), QSize(520, 600));
    settings->close();
    settings->move(0, 0);
    app.showSettings();
    EXPECT_EQ(app.settingsWindow(), settings);
    EXPECT_TRUE(settings->isVisible());
    // Re-centred on every show.
    const auto screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((settings->frameGeometry().center() - screen.center()).manhattanLength(), 2);

    fixture.state().onShowOnboarding();
    auto* onboarding = app.onboardingWindow();
    ASSERT_NE(onboarding, nullptr);
    EXPECT_TRUE(onboarding->isVisible());
    app.closeOnboarding();
    EXPECT_FALSE(onboarding->isVisible());
    app.showOnboarding();
    EXPECT_EQ(app.onboardingWindow(), onboarding);
    EXPECT_TRUE(onboarding->isVisible());
}

TEST_F(AppDelegateTest, GlobalHotkeyFollowsTheSettings) {
    using Combination = RecordingHotkeyEvents::Combination;
    completeOnboarding();
    fixture.state().setEnableGlobalHotkey(false);
    fixture.state().setHotkey(HotkeyConfig{49, 0x100, "Space"});
    launch();
    EXPECT_TRUE(events.history.empty());

    // Changing the combination while disabled registers nothing.
    fixture.state().setHotkey(HotkeyConfig{40, 0x900, "K"});
    EXPECT_TRUE(events.history.empty());

    fixture.state().setEnableGlobalHotkey(true);
    EXPECT_EQ(events.history, (std::vector<Combination>{{40, 0x900}}));

    fixture.state().setHotkey(HotkeyConfig{49, 0x1000, "Space"});
    ASSERT_EQ(events.active.size(), 1u);
    EXPECT_EQ(events.active.begin()->second, (Combination{49, 0x1000}));

    fixture.state().setEnableGlobalHotkey(false);
    EXPECT_TRUE(events.active.empty());
}

TEST_F(AppDelegateTest, AppearanceReachesTheVisiblePanel) {
    completeOnboarding();
    fixture.state().setAppearance(Appearance::light);
    auto& app = launch();
    // No panel yet: nothing to change, nothing breaks.
    fixture.state().setAppearance(Appearance::dark);

    app.togglePanel();
    ASSERT_TRUE(waitForPanel(true));
    const struct {
        Appearance appearance;
        ColorScheme::Scheme scheme;
    } cases[] = {
        {Appearance::light, ColorScheme::Scheme::light},
        {Appearance::dark, ColorScheme::Scheme::dark},
        {Appearance::auto_, ColorScheme::Scheme::light},
    };
    for (const auto& row : cases) {
        fixture.state().setAppearance(row.appearance);
        EXPECT_EQ(ColorScheme::forced(app.currentPanel()), row.scheme);
    }
}

TEST_F(AppDelegateTest, ClosuresOutliveTheDelegateHarmlessly) {
    launch();
    delegate_.reset();

    auto& state = fixture.state();
    state.openSettings();
    state.onShowOnboarding();
    state.onCheckForUpdates();
    state.onGlobalHotkeyChanged(true);
    state.onHotkeyConfigChanged(HotkeyConfig{49, 0x100, "Space"});
    state.onAppearanceChanged(Appearance::dark);
    EXPECT_TRUE(visibleWindows().empty());
}

TEST_F(AppDelegateTest, UpdateCheckShowsItsResultInADialog) {
    completeOnboarding();
    auto& app = launch();
    fixture.state().onCheckForUpdates();

    QDialog* dialog = nullptr;
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QDialog*>(widget);
                candidate && candidate->isVisible()) {
                dialog = candidate;
            }
        }
        return dialog != nullptr;
    }));
    (void)app;
}

} // namespace
} // namespace quorvane
