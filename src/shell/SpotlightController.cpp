#include "shell/SpotlightController.h"

#include "state/AppState.h"
#include "ui/panel/PopoverView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

QEasingCurve cubicBezier(QPointF first, QPointF second) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(first, second, QPointF(1, 1));
    return curve;
}

QPropertyAnimation* animation(QObject* target, const char* property, QVariant from, QVariant to,
                              int durationMs, const QEasingCurve& curve, QObject* parent) {
    auto* result = new QPropertyAnimation(target, property, parent);
    result->setStartValue(std::move(from));
    result->setEndValue(std::move(to));
    result->setDuration(durationMs);
    result->setEasingCurve(curve);
    return result;
}

bool isRunning(const QAbstractAnimation* running) {
    return running != nullptr && running->state() == QAbstractAnimation::Running;
}

int clampedHeight(double height) {
    return static_cast<int>(std::lround(std::clamp(height, SpotlightController::minimumHeight,
                                                   SpotlightController::maximumHeight)));
}

} // namespace

SpotlightController::SpotlightController(AppState& state, QObject* parent)
    : QObject(parent)
    , appState_(state) {}

SpotlightController::~SpotlightController() {
    for (const QPointer<KeyablePanel>& old : dropped_) {
        delete old.data();
    }
    delete panel_.data();
}

QEasingCurve SpotlightController::showCurve() {
    return cubicBezier({0.16, 1.0}, {0.3, 1.0});
}

QEasingCurve SpotlightController::hideCurve() {
    return cubicBezier({0.4, 0.0}, {1.0, 1.0});
}

QEasingCurve SpotlightController::resizeCurve() {
    return cubicBezier({0.42, 0.0}, {0.58, 1.0});
}

void SpotlightController::show() {
    dropPanel();
    panel_ = makePanel();
    positionOnActiveScreen(*panel_);

    const QPoint origin = panel_->pos();
    panel_->setWindowOpacity(0);
    panel_->move(origin + QPoint(0, showOffset));
    panel_->show();
    panel_->raise();
    panel_->activateWindow();

    appState_.prefillFromClipboardIfNeeded();

    auto* group = new QParallelAnimationGroup(panel_);
    group->addAnimation(
        animation(panel_, "windowOpacity", 0.0, 1.0, showDurationMs, showCurve(), group));
    showSlide_ =
        animation(panel_, "pos", panel_->pos(), origin, showDurationMs, showCurve(), group);
    group->addAnimation(showSlide_);
    showAnimation_ = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void SpotlightController::hide() {
    if (panel_ == nullptr || !panel_->isVisible() || isHiding()) {
        return;
    }
    // What runs still would fight the slide out.
    for (QAbstractAnimation* running :
         {static_cast<QAbstractAnimation*>(showAnimation_.data()),
          static_cast<QAbstractAnimation*>(resizeAnimation_.data())}) {
        if (running != nullptr) {
            running->stop();
        }
    }

    const QPoint origin = panel_->pos();
    auto* group = new QParallelAnimationGroup(panel_);
    group->addAnimation(animation(panel_, "windowOpacity", panel_->windowOpacity(), 0.0,
                                  hideDurationMs, hideCurve(), group));
    group->addAnimation(animation(panel_, "pos", origin, origin + QPoint(0, hideOffset),
                                  hideDurationMs, hideCurve(), group));
    connect(
        group, &QAbstractAnimation::finished, this,
        [this, hidden = QPointer<KeyablePanel>(panel_), origin] { finishHide(hidden, origin); });
    hideAnimation_ = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void SpotlightController::hideOnDeactivation() {
    if (panel_ == nullptr || !panel_->isVisible() || isHiding()) {
        return;
    }
    panel_->QWidget::hide();
}

void SpotlightController::resizeToHeight(double height) {
    if (panel_ == nullptr || !panel_->isVisible() || isHiding()) {
        return;
    }
    const int target = clampedHeight(height);
    // Measured from where the running animations are going, so that a request arriving
    // mid-animation neither drifts the centre nor repeats the change.
    QRect base =
        isRunning(resizeAnimation_) ? resizeAnimation_->endValue().toRect() : panel_->geometry();
    if (isRunning(showSlide_)) {
        base.moveTopLeft(showSlide_->endValue().toPoint());
    }
    if (std::abs(base.height() - target) <= resizeDeadBand) {
        return;
    }
    const QRect frame(base.x() + (base.width() - panelWidth) / 2,
                      base.y() + (base.height() - target) / 2, panelWidth, target);

    if (QWidget* content = panel_->contentView()) {
        content->resize(panelWidth, target);
        if (content->layout() != nullptr) {
            content->layout()->activate();
        }
        content->update();
    }

    // The resize finishes the slide in itself; the fade goes on. Taken out of its group, which
    // would otherwise start it again.
    delete showSlide_.data();
    if (resizeAnimation_ != nullptr) {
        resizeAnimation_->stop();
    }
    resizeAnimation_ = animation(panel_, "geometry", panel_->geometry(), frame, resizeDurationMs,
                                 resizeCurve(), panel_);
    resizeAnimation_->start(QAbstractAnimation::DeleteWhenStopped);
}

std::optional<QRect>
SpotlightController::visibleFrameUnderMouse(const std::vector<ScreenFrames>& screens,
                                            std::optional<int> primaryIndex, QPoint mouse) {
    const auto under = std::find_if(screens.begin(), screens.end(),
                                    [&](const ScreenFrames& s) { return s.frame.contains(mouse); });
    if (under != screens.end()) {
        return under->visibleFrame;
    }
    if (primaryIndex && *primaryIndex >= 0 && *primaryIndex < static_cast<int>(screens.size())) {
        return screens[static_cast<std::size_t>(*primaryIndex)].visibleFrame;
    }
    if (!screens.empty()) {
        return screens.front().visibleFrame;
    }
    return std::nullopt;
}

KeyablePanel* SpotlightController::makePanel() {
    auto* panel = new KeyablePanel(QSize(panelWidth, static_cast<int>(initialHeight)));
    panel->setHidesOnDeactivate(true);
    panel->setAppearance(appState_.appearance());

    QPointer<SpotlightController> self(this);
    auto* view = new PopoverView(
        appState_,
        [self] {
            if (self != nullptr) {
                self->hide();
            }
        },
        [self](double height) {
            if (self != nullptr) {
                self->resizeToHeight(height);
            }
        });
    panel->setContentView(view);
    connect(panel, &KeyablePanel::firstFramePainted, this, [this, panel] {
        if (panel == panel_) {
            emit panelFirstFramePainted();
        }
    });
    // The view measured itself while it was built, before there was a panel to grow, and only
    // reports again when that height changes: a state that already holds a long result,
    // questions or variations (a show that replaces a panel) would stay cut off at the start
    // height.
    const int fitted = clampedHeight(view->contentHeight());
    if (std::abs(fitted - panel->height()) > resizeDeadBand) {
        panel->resize(panelWidth, fitted);
        view->resize(panelWidth, fitted);
    }
    return panel;
}

void SpotlightController::positionOnActiveScreen(KeyablePanel& panel) const {
    std::vector<ScreenFrames> frames;
    std::optional<int> primaryIndex;
    const auto screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen == QGuiApplication::primaryScreen()) {
            primaryIndex = static_cast<int>(frames.size());
        }
        frames.push_back({screen->geometry(), screen->availableGeometry()});
    }
    const auto visible = visibleFrameUnderMouse(frames, primaryIndex, QCursor::pos());
    if (!visible) {
        return;
    }
    const double midX = visible->x() + visible->width() / 2.0;
    const double midY = visible->y() + visible->height() / 2.0;
    panel.move(static_cast<int>(std::lround(midX - panel.width() / 2.0)),
               static_cast<int>(std::lround(midY - panel.height() / 2.0)));
}

void SpotlightController::finishHide(KeyablePanel* panel, QPoint origin) {
    // A show() during the slide out replaced the panel: the new one stays, and so does the state.
    if (panel == nullptr || panel != panel_) {
        return;
    }
    panel->QWidget::hide();
    panel->setWindowOpacity(1);
    panel->move(origin);
    appState_.clear();
    dropPanel();
}

void SpotlightController::dropPanel() {
    if (panel_ == nullptr) {
        return;
    }
    KeyablePanel* old = panel_;
    panel_ = nullptr;
    // Its animations stop with it; it may be in the middle of delivering the event that led here.
    for (auto* running : old->findChildren<QAbstractAnimation*>(Qt::FindDirectChildrenOnly)) {
        running->stop();
    }
    old->QWidget::hide();
    old->deleteLater();
    std::erase_if(dropped_, [](const QPointer<KeyablePanel>& gone) { return gone.isNull(); });
    dropped_.emplace_back(old);
}

bool SpotlightController::isAwaitingFirstFrame() const {
    return panel_ != nullptr && panel_->isVisible() && !panel_->hasPainted();
}

bool SpotlightController::isHiding() const {
    return isRunning(hideAnimation_);
}

} // namespace quorvane
