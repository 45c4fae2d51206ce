#include "ui/kit/OpacityTransition.h"

#include "ui/kit/ReduceMotion.h"
#include "ui/kit/SpringAnimation.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace quorvane {

namespace {

// Marks the effects this transition owns, so that a widget's other effects are left alone.
const QString effectName = QStringLiteral("opacityTransition");

QGraphicsOpacityEffect* ownEffect(const QWidget& widget) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget.graphicsEffect());
    return effect != nullptr && effect->objectName() == effectName ? effect : nullptr;
}

bool animates(const QWidget& widget) {
    return !ReduceMotion::enabled() && widget.isVisible() && !widget.size().isEmpty();
}

// Drives the effect's opacity from `from` to `to`; the animation lives as long as the effect.
SpringAnimation* fade(QGraphicsOpacityEffect* effect, const Spring& spring, qreal from, qreal to) {
    auto* animation = new SpringAnimation(spring, effect);
    QObject::connect(animation, &QVariantAnimation::valueChanged, effect,
                     [effect](const QVariant& value) {
                         effect->setOpacity(std::clamp(value.toReal(), 0.0, 1.0));
                     });
    animation->animate(from, to);
    return animation;
}

// Only the widget and its children: grab() would paint the window colour
// behind a widget that has no background of its own.
QPixmap picture(QWidget& widget) {
    const qreal ratio = widget.devicePixelRatioF();
    QPixmap pixmap(widget.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    widget.render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    return pixmap;
}

} // namespace

void OpacityTransition::insert(QWidget& widget, const Spring& spring) {
    widget.show();
    QGraphicsOpacityEffect* current = ownEffect(widget);
    if (!animates(widget)) {
        if (current != nullptr) {
            widget.setGraphicsEffect(nullptr);
        }
        return;
    }
    if (current == nullptr && widget.graphicsEffect() != nullptr) {
        return;
    }
    const qreal from = current != nullptr ? current->opacity() : 0.0;
    auto* effect = new QGraphicsOpacityEffect(&widget);
    effect->setObjectName(effectName);
    effect->setOpacity(from);
    widget.setGraphicsEffect(effect);
    SpringAnimation* animation = fade(effect, spring, from, 1.0);
    // Drawing through the effect costs a render pass per frame, so it goes once
    // the widget is opaque; later, because the animation belongs to the effect.
    QPointer<QGraphicsOpacityEffect> done(effect);
    QObject::connect(
        animation, &QAbstractAnimation::finished, &widget,
        [target = &widget, done] {
            if (done != nullptr && target->graphicsEffect() == done) {
                target->setGraphicsEffect(nullptr);
            }
        },
        Qt::QueuedConnection);
}

QWidget* OpacityTransition::remove(QWidget& widget, const Spring& spring) {
    QWidget* parent = widget.parentWidget();
    if (parent == nullptr || !animates(widget)) {
        widget.hide();
        return nullptr;
    }
    auto* snapshot = new QLabel(parent);
    snapshot->setObjectName(QString::fromLatin1(snapshotName));
    snapshot->setAttribute(Qt::WA_TransparentForMouseEvents);
    snapshot->setPixmap(picture(widget));
    snapshot->setGeometry(widget.geometry());
    // Just above the widget it stands for, under whatever covered that widget.
    snapshot->stackUnder(&widget);
    widget.stackUnder(snapshot);
    auto* effect = new QGraphicsOpacityEffect(snapshot);
    snapshot->setGraphicsEffect(effect);
    SpringAnimation* animation = fade(effect, spring, 1.0, 0.0);
    QObject::connect(animation, &QAbstractAnimation::finished, snapshot, &QObject::deleteLater);
    snapshot->show();
    widget.hide();
    return snapshot;
}

qreal OpacityTransition::opacity(const QWidget& widget) {
    const QGraphicsOpacityEffect* effect = ownEffect(widget);
    return effect != nullptr ? effect->opacity() : 1.0;
}

} // namespace quorvane
