// Pictures of the program's windows for review, written only when QUORVANE_SNAPSHOT_DIR names a
// directory: the one snapshot writer of the view tests.
#pragma once

#include <QDir>
#include <QString>

#include <optional>

class QWidget;

namespace quorvane::test {

class Snapshots {
public:
    // The directory, made when missing; nullopt when the variable is not set.
    static std::optional<QDir> directory();

    // Saves the window's picture (over a neutral grey desktop where it is translucent) as
    // <name>-light.png or <name>-dark.png, after the scheme the window shows; a failed write
    // fails the test.
    static void save(QWidget& window, const QString& name);
};

} // namespace quorvane::test
