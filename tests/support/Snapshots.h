// Pictures of the program's windows for review, written only when QUORVANE_SNAPSHOT_DIR names a
// directory, and the one way the view tests render a window: what it paints, laid over a desktop
// where the window is translucent (the floating panel).
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>

#include <optional>

class QWidget;

namespace quorvane::test {

class Snapshots {
public:
    // The directory, made when missing; nullopt when the variable is not set.
    static std::optional<QDir> directory();

    // The window's picture, opaque: where it is translucent, over the given desktop colour.
    static QImage render(QWidget& window, const QColor& desktop = QColor(128, 128, 128));

    // Saves the window's picture as <name>-light.png or <name>-dark.png, after the scheme the
    // window shows; a failed write fails the test.
    static void save(QWidget& window, const QString& name);
};

} // namespace quorvane::test
