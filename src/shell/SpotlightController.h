// The floating panel's life: a fresh panel and PopoverView on every show, centred on the screen
// under the mouse and faded and slid in; resized as the view asks, keeping its centre; faded and
// slid out on hide, after which the panel is dropped and the working state cleared. Switching to
// another application only hides the panel and keeps the working state.
#pragma once

#include "shell/KeyablePanel.h"

#include <QEasingCurve>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <optional>
#include <vector>

class QParallelAnimationGroup;
class QPropertyAnimation;

namespace quorvane {

class AppState;

class SpotlightController : public QObject {
    Q_OBJECT

public:
    static constexpr int panelWidth = 480;
    static constexpr double initialHeight = 420;
    static constexpr double minimumHeight = 420;
    static constexpr double maximumHeight = 900;
    // Height changes up to this size are ignored.
    static constexpr double resizeDeadBand = 5;
    static constexpr int showDurationMs = 220;
    static constexpr int showOffset = 16;
    static constexpr int hideDurationMs = 120;
    static constexpr int hideOffset = 10;
    static constexpr int resizeDurationMs = 200;

    // One screen as positioning sees it: the whole frame and the part left by panels and docks.
    struct ScreenFrames {
        QRect frame;
        QRect visibleFrame;
    };

    // The state must outlive the controller.
    explicit SpotlightController(AppState& state, QObject* parent = nullptr);
    ~SpotlightController() override;

    // Builds and presents a new panel; a panel already there is replaced at once, without
    // clearing the state.
    void show();
    // Animates the panel out, then drops it and clears the working state: what closing the
    // panel, Escape, the toggle and the other windows' opening do.
    void hide();
    // The application stopped being the active one: the panel goes at once, and the draft, the
    // result, the questions and the variations wait for the next show. A slide out already
    // under way still ends in the clearing it was asked for.
    void hideOnDeactivation();
    // The view's measured content height; clamped, and ignored within the dead band.
    void resizeToHeight(double height);

    // The current panel, also while it animates out; nothing while hidden.
    KeyablePanel* panel() const { return panel_; }
    // A panel is shown and its first frame has not reached the screen yet.
    bool isAwaitingFirstFrame() const;

    // The visible frame the panel opens in: of the first screen whose frame holds the mouse,
    // else of the primary screen, else of the first one; nothing without screens.
    static std::optional<QRect> visibleFrameUnderMouse(const std::vector<ScreenFrames>& screens,
                                                       std::optional<int> primaryIndex,
                                                       QPoint mouse);

    static QEasingCurve showCurve();
    static QEasingCurve hideCurve();
    static QEasingCurve resizeCurve();

signals:
    // The current panel's first frame reached the window system.
    void panelFirstFramePainted();

private:
    KeyablePanel* makePanel();
    void positionOnActiveScreen(KeyablePanel& panel) const;
    void finishHide(KeyablePanel* panel, QPoint origin);
    void dropPanel();
    bool isHiding() const;

    AppState& appState_;
    QPointer<KeyablePanel> panel_;
    // The running animations of the current panel; children of it, so they go with it.
    QPointer<QParallelAnimationGroup> showAnimation_;
    QPointer<QPropertyAnimation> showSlide_;
    QPointer<QParallelAnimationGroup> hideAnimation_;
    QPointer<QPropertyAnimation> resizeAnimation_;
    // Dropped panels whose deletion still waits for the event loop; they go with the controller
    // at the latest, while the state their views work on is sure to exist.
    std::vector<QPointer<KeyablePanel>> dropped_;
};

} // namespace quorvane
