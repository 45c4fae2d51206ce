#include "support/Snapshots.h"

#include "support/Render.h"
#include "ui/kit/ColorScheme.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <cstdlib>

namespace quorvane::test {

std::optional<QDir> Snapshots::directory() {
    const char* path = std::getenv("QUORVANE_SNAPSHOT_DIR");
    if (path == nullptr || *path == '\0') {
        return std::nullopt;
    }
    QDir directory(QString::fromLocal8Bit(path));
    if (!directory.mkpath(QStringLiteral("."))) {
        ADD_FAILURE() << "cannot make the snapshot directory " << path;
        return std::nullopt;
    }
    return directory;
}

void Snapshots::save(QWidget& window, const QString& name) {
    const auto folder = directory();
    if (!folder) {
        return;
    }
    const bool dark = ColorScheme::of(&window) == ColorScheme::Scheme::dark;
    const QString file = folder->filePath(
        name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png")));
    EXPECT_TRUE(render(window, QColor(128, 128, 128)).save(file)) << file.toStdString();
}

} // namespace quorvane::test
