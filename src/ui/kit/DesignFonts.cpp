#include "ui/kit/DesignFonts.h"

#include <QFontDatabase>

namespace quorvane {

QFont DesignFonts::system(qreal size, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(qRound(size));
    font.setWeight(weight);
    return font;
}

QFont DesignFonts::monospaced(qreal size) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(qRound(size));
    return font;
}

QFont DesignFonts::body() {
    return system(13);
}

QFont DesignFonts::callout() {
    return system(12);
}

QFont DesignFonts::caption() {
    return system(10);
}

QFont DesignFonts::headline() {
    return system(13, QFont::DemiBold);
}

QFont DesignFonts::title3() {
    return system(15);
}

QFont DesignFonts::title2() {
    return system(17);
}

} // namespace quorvane
