// Small colouring helpers shared by the panel's sections: a label's text
// colour is set through its palette so that style sheets stay out of the way.
#pragma once

#include <QColor>

class QWidget;

namespace quorvane {

class PanelPalette {
public:
    // Sets the text colour of a label, line edit or button; does nothing when unchanged.
    static void setForeground(QWidget& widget, const QColor& color);
};

} // namespace quorvane
