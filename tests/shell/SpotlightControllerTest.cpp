#include "shell/SpotlightController.h"

#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/panel/PopoverView.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <algorithm>

namespace quorvane {
namespace {

using test::ViewTestState;

class SpotlightControllerTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    // Shown, with the slide in and any resize the view asked for finished.
    KeyablePanel& shown() {
        controller_.show();
        EXPECT_NE(controller_.panel(), nullptr);
        settle();
        return *controller_.panel();
    }

    // Until the panel's animations have ended and a few turns of the event loop start no new
    // one (a height report can start a resize a turn later). A fixed wait would read a slide
    // half-way on a loaded machine; animations still running after 5 s are a fault.
    void settle() const {
        QElapsedTimer timer;
        timer.start();
        int quietTurns = 0;
        while (quietTurns < 5 && timer.elapsed() < 5000) {
            QTest::qWait(20);
            quietTurns = animating() ? 0 : quietTurns + 1;
        }
        if (quietTurns < 5) {
            ADD_FAILURE() << "the panel was still animating after 5 s";
        }
    }

    bool animating() const {
        if (controller_.panel() == nullptr) {
            return false;
        }
        const auto animations = controller_.panel()->findChildren<QAbstractAnimation*>();
        return std::any_of(animations.begin(), animations.end(), [](QAbstractAnimation* animation) {
            return animation->state() == QAbstractAnimation::Running;
        });
    }

    PopoverView* view() const {
        return controller_.panel() != nullptr
                   ? qobject_cast<PopoverView*>(controller_.panel()->contentView())
                   : nullptr;
    }

    ViewTestState fixture_;
    SpotlightController controller_{state()};
};

TEST_F(SpotlightControllerTest, EachShowBuildsANewPanelAndViewCentredUnderTheMouse) {
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(visible.center());

    QPointer<KeyablePanel> first = &shown();
    QPointer<QWidget> firstView = first->contentView();
    EXPECT_TRUE(first->isVisible());
    EXPECT_NEAR(first->windowOpacity(), 1.0, 1e-6);
    EXPECT_EQ(first->width(), SpotlightController::panelWidth);
    EXPECT_NEAR(first->geometry().center().x(), visible.center().x(), 1);
    EXPECT_NEAR(first->geometry().center().y(), visible.center().y(), 1);

    controller_.hide();
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return controller_.panel() == nullptr; }));
    ViewTestState::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(firstView.isNull());

    KeyablePanel& second = shown();
    EXPECT_TRUE(second.isVisible());
    EXPECT_NE(second.contentView(), nullptr);
}

TEST(SpotlightControllerScreens, PicksTheVisibleFrameOfTheScreenUnderTheMouse) {
    const std::vector<SpotlightController::ScreenFrames> two = {
        {QRect(0, 0, 1440, 900), QRect(0, 25, 1440, 800)},
        {QRect(1440, 0, 1920, 1080), QRect(1440, 0, 1920, 1040)},
    };
    struct Row {
        const char* name;
        std::vector<SpotlightController::ScreenFrames> screens;
        std::optional<int> primary;
        QPoint mouse;
        std::optional<QRect> expected;
    };
    const Row rows[] = {
        {"on the second", two, 0, QPoint(2000, 500), two[1].visibleFrame},
        {"on the first", two, 1, QPoint(10, 890), two[0].visibleFrame},
        {"outside all: the primary", two, 1, QPoint(-50, -50), two[1].visibleFrame},
        {"outside all, no primary: the first", two, std::nullopt, QPoint(-5, 0),
         two[0].visibleFrame},
        {"no screens", {}, std::nullopt, QPoint(0, 0), std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SpotlightController::visibleFrameUnderMouse(row.screens, row.primary, row.mouse),
                  row.expected);
    }
}

TEST_F(SpotlightControllerTest, HeightIsClampedWithADeadBandAndTheCentreKept) {
    KeyablePanel& panel = shown();
    controller_.resizeToHeight(600);
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return panel.height() == 600; }));
    settle();

    struct Row {
        double request;
        int expected;
    };
    const Row rows[] = {{300, 420}, {1200, 900}, {904, 900}, {895, 900},
                        {894, 894}, {420, 420},  {425, 420}, {426, 426}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.request);
        const QPoint centre = panel.geometry().center();
        controller_.resizeToHeight(row.request);
        settle();
        EXPECT_EQ(panel.height(), row.expected);
        EXPECT_EQ(panel.width(), SpotlightController::panelWidth);
        EXPECT_EQ(panel.contentView()->height(), row.expected);
        EXPECT_NEAR(panel.geometry().center().y(), centre.y(), 1);
        EXPECT_NEAR(panel.geometry().center().x(), centre.x(), 1);
    }
}

TEST_F(SpotlightControllerTest, CloseClearsTheStateOnlyAfterTheSlideOut) {
    shown();
    state().setInputText("a draft");
    const QPoint origin = controller_.panel()->pos();

    view()->requestClose();
    EXPECT_NE(controller_.panel(), nullptr);
    EXPECT_EQ(state().inputText(), "a draft");
    // Nothing happens to a panel already on its way out, nor to its size.
    controller_.hide();
    controller_.resizeToHeight(800);

    ASSERT_TRUE(ViewTestState::waitUntil([&] { return controller_.panel() == nullptr; }));
    EXPECT_EQ(state().inputText(), "");
    EXPECT_NE(origin, QPoint());

    // Hidden: both do nothing.
    controller_.hide();
    controller_.resizeToHeight(800);
    EXPECT_EQ(controller_.panel(), nullptr);
}

TEST_F(SpotlightControllerTest, DeactivationHidesAtOnceAndKeepsTheWork) {
    QPointer<KeyablePanel> first = &shown();
    state().setInputText("a draft");
    state().setOutputText("a result");
    state().setFieldMode(FieldMode::result);
    state().setVariations({"one", "two", "three"});

    controller_.hideOnDeactivation();
    EXPECT_FALSE(first->isVisible());
    // Longer than any slide out, which would clear at its end.
    QTest::qWait(3 * SpotlightController::hideDurationMs);
    EXPECT_EQ(state().inputText(), "a draft");
    EXPECT_EQ(state().outputText(), "a result");
    EXPECT_EQ(state().fieldMode(), FieldMode::result);
    EXPECT_EQ(state().variations().size(), 3u);

    // A slide out already on its way ends in the clearing it was asked for.
    KeyablePanel& second = shown();
    EXPECT_TRUE(second.isVisible());
    controller_.hide();
    controller_.hideOnDeactivation();
    ASSERT_TRUE(ViewTestState::waitUntil([&] { return controller_.panel() == nullptr; }));
    EXPECT_EQ(state().inputText(), "");
}

TEST_F(SpotlightControllerTest, ShowWhileAPanelExistsReplacesItWithoutClearing) {
    shown();
    state().setInputText("kept");
    QPointer<KeyablePanel> first = controller_.panel();

    controller_.show();
    EXPECT_NE(controller_.panel(), first.data());
    EXPECT_FALSE(first.isNull() ? false : first->isVisible());
    settle();
    EXPECT_EQ(state().inputText(), "kept");

    // Also in the middle of a slide out: the new panel stays and nothing is cleared.
    controller_.hide();
    controller_.show();
    settle();
    ASSERT_NE(controller_.panel(), nullptr);
    EXPECT_TRUE(controller_.panel()->isVisible());
    EXPECT_NEAR(controller_.panel()->windowOpacity(), 1.0, 1e-6);
    EXPECT_EQ(state().inputText(), "kept");
}

TEST_F(SpotlightControllerTest, AReplacingShowKeepsThePanelAsTallAsItsContent) {
    shown();
    state().setInputText("a draft");
    state().setOutputText(std::string(3000, 'w'));
    state().setFieldMode(FieldMode::result);
    state().setVariations({std::string(300, 'a'), std::string(300, 'b'), std::string(300, 'c')});
    settle();
    const int tall = controller_.panel()->height();
    ASSERT_GT(tall, 420 + SpotlightController::resizeDeadBand);

    // The open item of the tray menu while the panel is up: a new panel over the same state.
    KeyablePanel& replaced = shown();
    EXPECT_NEAR(replaced.height(), tall, SpotlightController::resizeDeadBand);
    EXPECT_EQ(replaced.contentView()->height(), replaced.height());
}

TEST(SpotlightControllerLifetime, EveryPanelGoesWithTheController) {
    ViewTestState fixture;
    QPointer<KeyablePanel> replaced;
    QPointer<KeyablePanel> slidOut;
    QPointer<KeyablePanel> current;
    {
        SpotlightController controller(fixture.state());
        controller.show();
        replaced = controller.panel();
        controller.show();
        slidOut = controller.panel();
        controller.hide();
        ASSERT_TRUE(ViewTestState::waitUntil([&] { return controller.panel() == nullptr; }));
        controller.show();
        current = controller.panel();
    }
    // Their views work on the state, which only has to outlive the controller; a panel left
    // for a later turn of the event loop would reach it after it is gone.
    EXPECT_TRUE(replaced.isNull());
    EXPECT_TRUE(slidOut.isNull());
    EXPECT_TRUE(current.isNull());
}

TEST_F(SpotlightControllerTest, ShowFillsAnEmptyDraftFromTheClipboardWhenSet) {
    const std::pair<bool, std::string> rows[] = {{true, "from the clipboard"}, {false, ""}};
    for (const auto& [prefill, expected] : rows) {
        SCOPED_TRACE(prefill);
        state().setInputText("");
        state().setAutoPrefillFromClipboard(prefill);
        fixture_.pasteboard().setString("  from the clipboard \n");
        controller_.show();
        EXPECT_EQ(state().inputText(), expected);
    }
}

TEST_F(SpotlightControllerTest, NewPanelsTakeTheAppearanceSetting) {
    const std::pair<Appearance, ColorScheme::Scheme> rows[] = {
        {Appearance::dark, ColorScheme::Scheme::dark},
        {Appearance::auto_, ColorScheme::Scheme::light},
        {Appearance::light, ColorScheme::Scheme::light},
    };
    for (const auto& [appearance, scheme] : rows) {
        state().setAppearance(appearance);
        controller_.show();
        EXPECT_EQ(ColorScheme::of(controller_.panel()->contentView()), scheme);
    }
}

} // namespace
} // namespace quorvane
