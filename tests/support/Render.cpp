#include "support/Render.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace quorvane::test {

QImage render(QWidget& widget, std::optional<QColor> desktop) {
    if (!desktop) {
        // Not premultiplied, so that a translucent colour reads back as it was painted.
        QImage painted(widget.size(), QImage::Format_ARGB32);
        painted.fill(Qt::transparent);
        widget.render(&painted, QPoint(), QRegion(), QWidget::DrawChildren);
        return painted;
    }
    // As the window system composes it: an opaque window's own backing store, and under a
    // translucent one, the desktop.
    const QPixmap shown = widget.grab();
    QImage picture(shown.size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(shown.devicePixelRatio());
    picture.fill(*desktop);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, shown);
    painter.end();
    return picture;
}

} // namespace quorvane::test
