#include "support/Snapshots.h"

#include "ui/kit/ColorScheme.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
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

QImage Snapshots::render(QWidget& window, const QColor& desktop) {
    const QPixmap painted = window.grab();
    QImage picture(painted.size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(painted.devicePixelRatio());
    picture.fill(desktop);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, painted);
    painter.end();
    return picture;
}

void Snapshots::save(QWidget& window, const QString& name) {
    const auto folder = directory();
    if (!folder) {
        return;
    }
    const bool dark = ColorScheme::of(&window) == ColorScheme::Scheme::dark;
    const QString file = folder->filePath(
        name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png")));
    EXPECT_TRUE(render(window).save(file)) << file.toStdString();
}

} // namespace quorvane::test
