#include "ui/kit/SoftShadow.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quorvane {

namespace {

// Division by the box's width, exact for every sum a box of bytes can reach: a multiply and a
// shift in place of a division per pixel, which the compiler cannot do itself for a width only
// known at run time.
class BoxDivider {
public:
    explicit BoxDivider(int window)
        : multiplier_((std::uint64_t{1} << shift) / static_cast<std::uint64_t>(window) + 1) {}

    uchar operator()(std::uint32_t sum) const {
        return static_cast<uchar>((sum * multiplier_) >> shift);
    }

private:
    static constexpr int shift = 32;
    std::uint64_t multiplier_;
};

// One box pass along each row: a running sum over the window, one add and one subtract a pixel.
void blurRows(uchar* bits, qsizetype stride, int width, int height, int boxRadius) {
    const BoxDivider divide(2 * boxRadius + 1);
    std::vector<uchar> line(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        uchar* row = bits + y * stride;
        std::copy(row, row + width, line.begin());
        std::uint32_t sum = 0;
        for (int i = 0; i <= boxRadius && i < width; ++i) {
            sum += line[static_cast<std::size_t>(i)];
        }
        for (int x = 0; x < width; ++x) {
            row[x] = divide(sum);
            if (const int leaving = x - boxRadius; leaving >= 0) {
                sum -= line[static_cast<std::size_t>(leaving)];
            }
            if (const int entering = x + boxRadius + 1; entering < width) {
                sum += line[static_cast<std::size_t>(entering)];
            }
        }
    }
}

// The same pass down the columns, walked a row at a time with one running sum per column, so
// that memory is read in the order it lies.
void blurColumns(uchar* bits, qsizetype stride, int width, int height, int boxRadius) {
    const BoxDivider divide(2 * boxRadius + 1);
    const auto at = [stride](const uchar* base, int y) { return base + y * stride; };
    std::vector<uchar> source(bits, bits + stride * height);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width), 0);
    for (int i = 0; i <= boxRadius && i < height; ++i) {
        const uchar* row = at(source.data(), i);
        for (int x = 0; x < width; ++x) {
            sums[static_cast<std::size_t>(x)] += row[x];
        }
    }
    for (int y = 0; y < height; ++y) {
        uchar* out = bits + y * stride;
        for (int x = 0; x < width; ++x) {
            out[x] = divide(sums[static_cast<std::size_t>(x)]);
        }
        if (const int leaving = y - boxRadius; leaving >= 0) {
            const uchar* row = at(source.data(), leaving);
            for (int x = 0; x < width; ++x) {
                sums[static_cast<std::size_t>(x)] -= row[x];
            }
        }
        if (const int entering = y + boxRadius + 1; entering < height) {
            const uchar* row = at(source.data(), entering);
            for (int x = 0; x < width; ++x) {
                sums[static_cast<std::size_t>(x)] += row[x];
            }
        }
    }
}

// One box pass over the alpha channel along the rows, then down the columns.
void boxBlurAlpha(QImage& image, int boxRadius) {
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    blurRows(bits, stride, image.width(), image.height(), boxRadius);
    blurColumns(bits, stride, image.width(), image.height(), boxRadius);
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
