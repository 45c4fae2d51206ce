// The text styles of the view kit, at the sizes the desktop look was drawn
// with (points, used as device-independent pixels).
#pragma once

#include <QFont>

namespace quorvane {

class DesignFonts {
public:
    static QFont system(qreal size, QFont::Weight weight = QFont::Normal);
    static QFont monospaced(qreal size);

    static QFont body();     // 13
    static QFont callout();  // 12
    static QFont caption();  // 10
    static QFont headline(); // 13 semibold
    static QFont title3();   // 15
    static QFont title2();   // 17
};

} // namespace quorvane
