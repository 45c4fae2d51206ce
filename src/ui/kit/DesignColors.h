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

    // No blur reaches X11 clients, so the regular material is a translucent
    // fill close to what the blurred material looks like on a neutral desktop.
    static QColor regularMaterial(ColorScheme::Scheme scheme);

    static QColor withOpacity(QColor color, qreal opacity);
};

} // namespace quorvane
