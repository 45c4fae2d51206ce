#include "ui/kit/WidgetPalette.h"

#include <QPalette>
#include <QWidget>

namespace quorvane {

void WidgetPalette::setForeground(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    if (palette.color(QPalette::WindowText) == color &&
        palette.color(QPalette::ButtonText) == color && palette.color(QPalette::Text) == color) {
        return;
    }
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    palette.setColor(QPalette::Text, color);
    widget.setPalette(palette);
}

} // namespace quorvane
