// The system colours of the view kit, by role, for the light and the dark
// look. Every kit widget takes its colours from here.
#pragma once

#include "ui/kit/ColorScheme.h"

#include <QColor>

namespace quorvane {

class DesignColors {
public:
    static QColor indigo(ColorScheme::Scheme scheme);
    static QColor purple(ColorScheme::Scheme scheme);
    static QColor cyan(ColorScheme::Scheme scheme);
    static QColor orange(ColorScheme::Scheme scheme);
    static QColor green(ColorScheme::Scheme scheme);
    static QColor blue(ColorScheme::Scheme scheme);
    // Destructive actions.
    static QColor red(ColorScheme::Scheme scheme);
    static QColor accent(ColorScheme::Scheme scheme);
    static QColor white();
    static QColor black();
    static QColor clear();

    // The hierarchical foregrounds: primary text and strokes, then the
    // dimmer secondary and tertiary levels.
    static QColor primary(ColorScheme::Scheme scheme);
    static QColor secondary(ColorScheme::Scheme scheme);
    static QColor tertiary(ColorScheme::Scheme scheme);

    static QColor textBackground(ColorScheme::Scheme scheme);
    // Behind the settings and onboarding windows, and the ground of the plain Qt controls.
    static QColor windowBackground(ColorScheme::Scheme scheme);
    // The face of a plain push button, combo box or scroll bar handle.
    static QColor controlBackground(ColorScheme::Scheme scheme);
    // Hairlines between rows and columns.
    static QColor separator(ColorScheme::Scheme scheme);
    // Selected text and items: a blue deep enough for white text on it.
    static QColor selection(ColorScheme::Scheme scheme);

    // The tints as text: deeper in the light look and paler in the dark one than the tints
    // themselves, so that a coloured word stays readable (at least 4.5:1) on the window, the
    // panel and the faint fill of its own tint.
    static QColor redText(ColorScheme::Scheme scheme);
    static QColor orangeText(ColorScheme::Scheme scheme);
    static QColor greenText(ColorScheme::Scheme scheme);
    static QColor blueText(ColorScheme::Scheme scheme);
    static QColor purpleText(ColorScheme::Scheme scheme);
    // Links and the other text buttons in the accent colour.
    static QColor linkText(ColorScheme::Scheme scheme);

    // No blur reaches X11 clients, so the regular material is a translucent
    // fill close to what the blurred material looks like on a neutral desktop.
    static QColor regularMaterial(ColorScheme::Scheme scheme);

    static QColor withOpacity(QColor color, qreal opacity);
    // What a translucent colour looks like painted over an opaque one.
    static QColor over(const QColor& color, const QColor& background);
};

} // namespace quorvane
