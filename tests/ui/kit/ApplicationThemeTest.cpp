#include "ui/kit/ApplicationTheme.h"

#include "support/Contrast.h"
#include "support/PrivateBus.h"
#include "support/ViewTestState.h"
#include "ui/kit/DesktopColorScheme.h"
#include "ui/panel/PopoverView.h"
#include "ui/windows/OnboardingView.h"
#include "ui/windows/SettingsView.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>

#include <memory>
#include <optional>
#include <vector>

namespace quorvane {
namespace {

using Scheme = ColorScheme::Scheme;
using test::contrast;
using test::ViewTestState;

constexpr Scheme schemes[] = {Scheme::light, Scheme::dark};

const char* nameOf(Scheme scheme) {
    return scheme == Scheme::dark ? "dark" : "light";
}

// A disconnected bus: the desktop's preference is the fallback given.
std::unique_ptr<DesktopColorScheme> desktopWithout(Scheme fallback) {
    return std::make_unique<DesktopColorScheme>(QDBusConnection(QString()), fallback);
}

TEST(ApplicationThemePaletteTest, EveryRoleOfEveryGroupIsSetAndTextReadsOnItsGround) {
    struct Pair {
        QPalette::ColorRole text;
        QPalette::ColorRole ground;
    };
    const Pair pairs[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::PlaceholderText, QPalette::Base},
        {QPalette::PlaceholderText, QPalette::Window},
        {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::ToolTipText, QPalette::ToolTipBase},
        {QPalette::Link, QPalette::Base},
        {QPalette::Link, QPalette::Window},
    };
    for (const Scheme scheme : schemes) {
        SCOPED_TRACE(nameOf(scheme));
        const QPalette palette = ApplicationTheme::palette(scheme);
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            for (int role = 0; role < QPalette::NColorRoles; ++role) {
                EXPECT_TRUE(palette.isBrushSet(group, static_cast<QPalette::ColorRole>(role)))
                    << "group " << group << " role " << role;
            }
        }
        for (const Pair& pair : pairs) {
            EXPECT_GE(contrast(palette.color(QPalette::Active, pair.text),
                               palette.color(QPalette::Active, pair.ground)),
                      4.5)
                << "role " << pair.text << " on " << pair.ground;
        }
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                QPalette::PlaceholderText}) {
            EXPECT_NE(palette.color(QPalette::Disabled, role),
                      palette.color(QPalette::Active, role))
                << "disabled text looks enabled, role " << role;
        }
        EXPECT_EQ(ColorScheme::fromPalette(palette), scheme);
    }
}

class ApplicationThemeTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(ApplicationThemeTest, TheApplicationTakesFusionAndTheWindowsSchemeAndGetsItsOwnBack) {
    const QString styleBefore = QApplication::style()->name();
    const QPalette paletteBefore = QGuiApplication::palette();
    state().setAppearance(Appearance::dark);
    {
        ApplicationTheme theme(state(), desktopWithout(Scheme::light));
        EXPECT_EQ(ApplicationTheme::instance(), &theme);
        EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
        EXPECT_EQ(QGuiApplication::palette(), ApplicationTheme::palette(Scheme::dark));

        state().setAppearance(Appearance::light);
        EXPECT_EQ(QGuiApplication::palette(), ApplicationTheme::palette(Scheme::light));
        // "auto" is the desktop's preference for the windows without a scheme of their own.
        state().setAppearance(Appearance::auto_);
        EXPECT_EQ(QGuiApplication::palette(), ApplicationTheme::palette(Scheme::light));
    }
    EXPECT_EQ(ApplicationTheme::instance(), nullptr);
    EXPECT_EQ(QApplication::style()->name(), styleBefore);
    EXPECT_EQ(QGuiApplication::palette(), paletteBefore);
}

// A light and a dark window open at once: the pop-ups and tips of each take its scheme, not the
// application palette's.
TEST_F(ApplicationThemeTest, PopUpsAndTipsTakeTheSchemeOfTheirWindow) {
    state().setAppearance(Appearance::light);
    ApplicationTheme theme(state(), desktopWithout(Scheme::light));
    QWidget light;
    QWidget dark;
    ApplicationTheme::apply(light, Scheme::light);
    ApplicationTheme::apply(dark, Scheme::dark);
    auto* lightCombo = new QComboBox(&light);
    auto* darkCombo = new QComboBox(&dark);
    for (QComboBox* combo : {lightCombo, darkCombo}) {
        combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
    }
    auto* menuButton = new QPushButton(QStringLiteral("Menu"), &dark);
    auto* menu = new QMenu(menuButton);
    menu->addAction(QStringLiteral("Item"));
    darkCombo->move(0, 40);
    for (QWidget* window : {&light, &dark}) {
        window->resize(200, 100);
        window->setToolTip(QStringLiteral("A tip"));
        window->show();
    }
    ViewTestState::processEvents();

    const auto schemeOf = [](QWidget* widget) {
        return ColorScheme::fromPalette(widget->palette());
    };
    darkCombo->showPopup();
    ViewTestState::processEvents();
    EXPECT_EQ(schemeOf(darkCombo->view()->window()), Scheme::dark);
    darkCombo->hidePopup();
    lightCombo->showPopup();
    ViewTestState::processEvents();
    EXPECT_EQ(schemeOf(lightCombo->view()->window()), Scheme::light);
    lightCombo->hidePopup();

    menu->popup(QPoint(10, 10));
    ViewTestState::processEvents();
    EXPECT_EQ(schemeOf(menu), Scheme::dark) << "the application palette is the light one";
    EXPECT_EQ(ColorScheme::of(menu), Scheme::dark) << "and so do the kit's rows painted in it";
    menu->close();

    for (QWidget* window : {&dark, &light, &dark}) {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), window->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(window, &help);
        ViewTestState::processEvents();
        QWidget* tip = nullptr;
        for (QWidget* shown : QApplication::topLevelWidgets()) {
            if (shown->inherits("QTipLabel") && shown->isVisible()) {
                tip = shown;
            }
        }
        ASSERT_NE(tip, nullptr);
        const QColor ground = tip->palette().color(QPalette::ToolTipBase);
        EXPECT_EQ(ground.lightnessF() < 0.5, window == &dark);
    }
    QToolTip::hideText();
}

// "auto" is the desktop's preference for the settings and onboarding windows, read from the
// portal and followed when it changes; the floating panel stays light under "auto".
TEST_F(ApplicationThemeTest, UnderAutoTheWindowsFollowTheDesktopAndThePanelStaysLight) {
    test::PrivateBus bus;
    if (bus.address().isEmpty()) {
        GTEST_SKIP() << "dbus-daemon is needed";
    }
    test::FakeSettingsPortal portal(bus.connect(QStringLiteral("portal")), 1);
    state().setAppearance(Appearance::auto_);
    ApplicationTheme theme(state(), std::make_unique<DesktopColorScheme>(
                                        bus.connect(QStringLiteral("client")), Scheme::light));
    SettingsView settings(state());
    OnboardingView onboarding(state(), [] {});
    PopoverView panel(state(), [] {});
    const auto schemes = [&] {
        return std::vector<std::optional<Scheme>>{ColorScheme::forced(&settings),
                                                  ColorScheme::forced(&onboarding),
                                                  ColorScheme::forced(&panel)};
    };
    using Shown = std::vector<std::optional<Scheme>>;
    ASSERT_TRUE(ViewTestState::waitUntil([&] {
        return schemes() == Shown{Scheme::dark, Scheme::dark, Scheme::light};
    })) << "the portal prefers dark";
    EXPECT_EQ(ColorScheme::fromPalette(settings.palette()), Scheme::dark);

    portal.change(2);
    ASSERT_TRUE(ViewTestState::waitUntil([&] {
        return schemes() == Shown{Scheme::light, Scheme::light, Scheme::light};
    }));

    portal.change(1);
    state().setAppearance(Appearance::light);
    ViewTestState::processEvents();
    EXPECT_EQ(schemes(), (Shown{Scheme::light, Scheme::light, Scheme::light}))
        << "a pinned look ignores the desktop";
    state().setAppearance(Appearance::dark);
    ViewTestState::processEvents();
    EXPECT_EQ(schemes(), (Shown{Scheme::dark, Scheme::dark, Scheme::dark}));
}

} // namespace
} // namespace quorvane
