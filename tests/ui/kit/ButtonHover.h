// Moves the pointer onto a kit button or off it, as the window system would tell it.
#pragma once

#include <QApplication>
#include <QEnterEvent>
#include <QEvent>
#include <QPointF>
#include <QWidget>

namespace quorvane::test {

inline void hover(QWidget& widget, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &leave);
    }
}

} // namespace quorvane::test
