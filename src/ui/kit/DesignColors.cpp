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

// A little denser than the desktop's own secondary labels, which fall short of 4.5:1 on a grey
// window or over the translucent panel.
QColor DesignColors::secondary(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 0, 0, 153), QColor(255, 255, 255, 153));
}

QColor DesignColors::tertiary(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 0, 0, 66), QColor(255, 255, 255, 64));
}

QColor DesignColors::textBackground(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(255, 255, 255), QColor(30, 30, 30));
}

QColor DesignColors::windowBackground(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(242, 242, 242), QColor(36, 36, 38));
}

QColor DesignColors::controlBackground(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(252, 252, 252), QColor(50, 50, 52));
}

QColor DesignColors::separator(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 0, 0, 26), QColor(255, 255, 255, 31));
}

QColor DesignColors::selection(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 99, 225), QColor(0, 88, 208));
}

QColor DesignColors::redText(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(196, 0, 16), QColor(255, 150, 142));
}

QColor DesignColors::orangeText(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(150, 62, 0), QColor(255, 170, 70));
}

QColor DesignColors::greenText(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(16, 112, 36), QColor(90, 215, 110));
}

QColor DesignColors::blueText(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(0, 90, 200), QColor(110, 178, 255));
}

QColor DesignColors::purpleText(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(130, 40, 175), QColor(210, 150, 255));
}

QColor DesignColors::linkText(ColorScheme::Scheme scheme) {
    return blueText(scheme);
}

QColor DesignColors::regularMaterial(ColorScheme::Scheme scheme) {
    return pick(scheme, QColor(246, 246, 246, 204), QColor(44, 44, 46, 204));
}

QColor DesignColors::withOpacity(QColor color, qreal opacity) {
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

QColor DesignColors::over(const QColor& color, const QColor& background) {
    const qreal alpha = color.alphaF();
    const auto mix = [alpha](qreal top, qreal bottom) {
        return top * alpha + bottom * (1 - alpha);
    };
    return QColor::fromRgbF(static_cast<float>(mix(color.redF(), background.redF())),
                            static_cast<float>(mix(color.greenF(), background.greenF())),
                            static_cast<float>(mix(color.blueF(), background.blueF())));
}

} // namespace quorvane
