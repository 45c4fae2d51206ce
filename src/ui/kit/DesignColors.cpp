#include "ui/kit/DesignColors.h"

namespace quorvane {

namespace {

QColor pick(ColorScheme::Scheme scheme, QColor light, QColor dark) {
    return scheme == ColorScheme::Scheme::dark ? dark : light;
}

} // namespace

QColor DesignColors::indigo(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(88, 86, 214), QColor(94, 92, 230));
}

QColor DesignColors::purple(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(175, 82, 222), QColor(191, 90, 242));
}

QColor DesignColors::cyan(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(50, 173, 230), QColor(100, 210, 255));
}

QColor DesignColors::orange(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(255, 149, 0), QColor(255, 159, 10));
}

QColor DesignColors::green(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(40, 205, 65), QColor(50, 215, 75));
}

QColor DesignColors::blue(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 122, 255), QColor(10, 132, 255));
}

QColor DesignColors::red(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(255, 59, 48), QColor(255, 69, 58));
}

QColor DesignColors::accent(ColorScheme::Scheme scheme) {
    return blue(scheme);
}

QColor DesignColors::white() {
    return QColor(255, 255, 255);
}

QColor DesignColors::black() {
    return QColor(0, 0, 0);
}

QColor DesignColors::clear() {
    return QColor(0, 0, 0, 0);
}

QColor DesignColors::primary(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 0, 0, 217), QColor(255, 255, 255, 217));
}

QColor DesignColors::secondary(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 0, 0, 128), QColor(255, 255, 255, 140));
}

QColor DesignColors::tertiary(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 0, 0, 66), QColor(255, 255, 255, 64));
}

QColor DesignColors::textBackground(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(255, 255, 255), QColor(30, 30, 30));
}

QColor DesignColors::regularMaterial(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(246, 246, 246, 204), QColor(44, 44, 46, 204));
}

QColor DesignColors::withOpacity(QColor color, qreal opacity) {
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

} // namespace quorvane
