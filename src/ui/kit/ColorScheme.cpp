#include "ui/kit/ColorScheme.h"

#include <QVariant>
#include <QWidget>

namespace quorvane {

namespace {

constexpr const char* forcedProperty = "quorvaneColorScheme";

} // namespace

ColorScheme::Scheme ColorScheme::fromPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5 ? Scheme::dark : Scheme::light;
}

ColorScheme::Scheme ColorScheme::of(const QWidget* widget) {
    for (const QWidget* current = widget; current != nullptr; current = current->parentWidget()) {
        if (auto scheme = forced(current)) {
            return *scheme;
        }
    }
    return fromPalette(widget != nullptr ? widget->palette() : QPalette());
}

void ColorScheme::force(QWidget* widget, std::optional<Scheme> scheme) {
    if (!scheme) {
        widget->setProperty(forcedProperty, QVariant());
    } else {
        widget->setProperty(forcedProperty, *scheme == Scheme::dark ? "dark" : "light");
    }
    widget->update();
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        child->update();
    }
}

std::optional<ColorScheme::Scheme> ColorScheme::forced(const QWidget* widget) {
    const QString value = widget->property(forcedProperty).toString();
    if (value == QLatin1String("dark")) {
        return Scheme::dark;
    }
    if (value == QLatin1String("light")) {
        return Scheme::light;
    }
    return std::nullopt;
}

} // namespace quorvane
