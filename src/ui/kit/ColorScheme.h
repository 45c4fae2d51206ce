// Light or dark, for a widget: forced on its window by the appearance
// setting, otherwise read from the palette (Qt 6.4 has no colour-scheme hint,
// so a dark window colour means a dark desktop).
#pragma once

#include <QPalette>

#include <optional>

class QWidget;

namespace quorvane {

class ColorScheme {
public:
    enum class Scheme { light, dark };

    static Scheme fromPalette(const QPalette& palette);

    // The nearest ancestor (or the widget itself) that has a forced scheme
    // wins; without one the widget's palette decides.
    static Scheme of(const QWidget* widget);

    // Pins the scheme for a widget and everything inside it; nullopt follows
    // the palette again.
    static void force(QWidget* widget, std::optional<Scheme> scheme);
    static std::optional<Scheme> forced(const QWidget* widget);
};

} // namespace quorvane
