// The one way the views set a widget's text colour: through its palette, so that style sheets
// stay out of the way and every role a label, field or button draws its text with agrees.
#pragma once

#include <QColor>

class QWidget;

namespace quorvane {

class WidgetPalette {
public:
    // Sets the text colour of a label, line edit or button (window, button and field text);
    // does nothing when it is that colour already, so it may run on every palette change.
    static void setForeground(QWidget& widget, const QColor& color);
};

} // namespace quorvane
