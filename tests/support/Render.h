// The one way the view tests render a widget: what it paints, with its children, on transparent
// ground (its window's background left out); or, given the desktop's colour, the opaque picture
// of a window as a screen shows it, laid over that colour where the window is translucent.
#pragma once

#include <QColor>
#include <QImage>

#include <optional>

class QWidget;

namespace quorvane::test {

QImage render(QWidget& widget, std::optional<QColor> desktop = std::nullopt);

} // namespace quorvane::test
