#include "ui/kit/SoftShadow.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorvane {

namespace {

// One horizontal box-blur pass over the alpha channel, then the same down
// the columns.
void boxBlurAlpha(QImage& image, int boxRadius) {
    const int width = image.width();
    const int height = image.height();
    std::vector<int> line;
    auto blurLine = [&](auto at, int length) {
        line.assign(static_cast<std::size_t>(length), 0);
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = at(i);
        }
        const int window = 2 * boxRadius + 1;
        int sum = 0;
        for (int i = -boxRadius; i <= boxRadius; ++i) {
            sum += (i >= 0 && i < length) ? line[static_cast<std::size_t>(i)] : 0;
        }
        for (int i = 0; i < length; ++i) {
            at(i) = sum / window;
            const int leaving = i - boxRadius;
            const int entering = i + boxRadius + 1;
            sum -= (leaving >= 0) ? line[static_cast<std::size_t>(leaving)] : 0;
            sum += (entering < length) ? line[static_cast<std::size_t>(entering)] : 0;
        }
    };
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        blurLine([row](int x) -> uchar& { return row[x]; }, width);
    }
    for (int x = 0; x < width; ++x) {
        blurLine([&image, x](int y) -> uchar& { return image.scanLine(y)[x]; }, height);
    }
}

} // namespace

qreal SoftShadow::reach(qreal radius, qreal offset) {
    return std::ceil(radius + std::abs(offset));
}

void SoftShadow::paint(QPainter& painter, const QPainterPath& shape, const QColor& color,
                       qreal radius, const QPointF& offset) {
    if (color.alpha() == 0 || shape.isEmpty()) {
        return;
    }
    const int margin = static_cast<int>(std::ceil(radius)) + 1;
    const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    QImage mask(bounds.size().toSize() + QSize(1, 1), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing);
        maskPainter.translate(-bounds.topLeft());
        maskPainter.fillPath(shape, Qt::black);
    }
    // Three passes of a box of this size give about the spread of the
    // platform's shadow radius.
    const int boxRadius = std::max(0, static_cast<int>(std::lround(radius / 3.0)));
    for (int pass = 0; pass < 3 && boxRadius > 0; ++pass) {
        boxBlurAlpha(mask, boxRadius);
    }
    QImage tinted(mask.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(color);
    {
        QPainter tintPainter(&tinted);
        tintPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tintPainter.drawImage(0, 0, mask);
    }
    painter.drawImage(bounds.topLeft() + offset, tinted);
}

} // namespace quorvane
