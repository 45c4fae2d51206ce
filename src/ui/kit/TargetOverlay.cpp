#include "ui/kit/TargetOverlay.h"

#include <QEvent>

namespace quorvane {

TargetOverlay::TargetOverlay(QWidget* target)
    : QWidget(target->parentWidget())
    , target_(target) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
    target->installEventFilter(this);
}

bool TargetOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
    case QEvent::ParentChange:
        followTarget();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quorvane
