#include "ui/kit/SoftShadow.h"

#include "ui/kit/ShapePainter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
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

// Room past the shape for the blur, and one more pixel for its antialiased edge.
int marginFor(qreal radius) {
    return static_cast<int>(std::ceil(radius)) + 1;
}

// Three passes of a box of this size give about the spread of the platform's shadow radius.
int boxRadiusFor(qreal radius) {
    return std::max(0, static_cast<int>(std::lround(radius / 3.0)));
}

// The shape's silhouette, moved by shift, in a mask of the given size, blurred.
QImage blurredSilhouette(const QPainterPath& shape, const QPointF& shift, const QSize& size,
                         qreal radius) {
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing);
        maskPainter.translate(shift);
        maskPainter.fillPath(shape, Qt::black);
    }
    const int boxRadius = boxRadiusFor(radius);
    for (int pass = 0; pass < 3 && boxRadius > 0; ++pass) {
        boxBlurAlpha(mask, boxRadius);
    }
    return mask;
}

// The colour at each pixel's coverage, premultiplied as the image keeps it: a plain loop, cheaper
// than composing the mask onto an image filled with the colour.
QImage tinted(const QImage& mask, const QColor& color) {
    const QRgb full = qPremultiply(color.rgba());
    const auto scaled = [](int channel, int coverage) {
        const int product = channel * coverage + 128;
        return (product + (product >> 8)) >> 8;
    };
    QImage image(mask.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* coverage = mask.constScanLine(y);
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            const int c = coverage[x];
            pixels[x] = qRgba(scaled(qRed(full), c), scaled(qGreen(full), c),
                              scaled(qBlue(full), c), scaled(qAlpha(full), c));
        }
    }
    return image;
}

// A rounded rectangle, or, with a ring width, the band that wide inside its outline. The corner
// radius is already clamped to the full rectangle, so that the smaller one blurred in its place
// keeps the same corners.
struct Outline {
    qreal cornerRadius = 0;
    qreal ringWidth = 0;

    // How far from each corner along its sides the outline still curves.
    qreal cornerReach() const { return std::max(cornerRadius, ringWidth); }

    QPainterPath pathFor(const QRectF& rect) const {
        if (ringWidth <= 0) {
            return ShapePainter::roundedRect(rect, cornerRadius);
        }
        // A stroke along the outline drawn inside it, as ShapePainter strokes inside.
        QPainterPathStroker stroker;
        stroker.setWidth(ringWidth);
        const qreal half = ringWidth / 2;
        return stroker.createStroke(ShapePainter::roundedRect(
            rect.adjusted(half, half, -half, -half), std::max(0.0, cornerRadius - half)));
    }
};

// How one axis of the small blurred image maps onto the full shadow: the line of pixels at `at`
// stands for itself and `by` more, which the full shadow has there because the blur of a
// straight side does not change along it.
struct Stretch {
    int at = 0;
    int by = 0;
};

// The stretched line needs a straight run of the side around it as wide as the blur reaches on
// either hand, with a pixel spare on each for the antialiased end of the corner; a side too short
// for that is blurred whole.
Stretch stretchAlong(qreal length, qreal cornerReach, int margin, int spread) {
    const qreal shortest = 2 * (cornerReach + spread) + 6;
    const int by = static_cast<int>(std::floor(length - shortest));
    if (by <= 0) {
        return {};
    }
    return {.at = static_cast<int>(std::ceil(margin + cornerReach)) + spread + 1, .by = by};
}

// One of the three pieces of an axis: where it is in the image, and where and how long it is in
// the full shadow.
struct Piece {
    int from = 0;
    int length = 0;
    int to = 0;
    int span = 0;
};

std::array<Piece, 3> piecesOf(int imageLength, const Stretch& stretch) {
    const int after = stretch.at + 1;
    return {{
        {.from = 0, .length = stretch.at, .to = 0, .span = stretch.at},
        {.from = stretch.at, .length = 1, .to = stretch.at, .span = 1 + stretch.by},
        {.from = after,
         .length = imageLength - after,
         .to = after + stretch.by,
         .span = imageLength - after},
    }};
}

void drawStretched(QPainter& painter, const QPoint& origin, const QImage& image,
                   const Stretch& across, const Stretch& down) {
    painter.save();
    // Antialiased edges would show as seams between the pieces, and a stretched line of equal
    // pixels needs no smoothing.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const std::array<Piece, 3> rows = piecesOf(image.height(), down);
    const std::array<Piece, 3> columns = piecesOf(image.width(), across);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const Piece& row = rows[r];
            const Piece& column = columns[c];
            const bool middle = r == 1 && c == 1;
            if (middle || row.length <= 0 || column.length <= 0) {
                continue;
            }
            painter.drawImage(
                QRect(origin + QPoint(column.to, row.to), QSize(column.span, row.span)), image,
                QRect(column.from, row.from, column.length, row.length));
        }
    }
    // The middle, the largest piece, is one pixel stretched both ways: a plain fill is far
    // cheaper than a scaled image, and a hollow shape needs none.
    if (const QRgb middle = image.pixel(across.at, down.at); qAlpha(middle) > 0) {
        painter.fillRect(
            QRect(origin + QPoint(columns[1].to, rows[1].to), QSize(columns[1].span, rows[1].span)),
            QColor::fromRgba(qUnpremultiply(middle)));
    }
    painter.restore();
}

void paintOutline(QPainter& painter, const QRectF& rect, Outline outline, const QColor& color,
                  qreal radius, const QPointF& offset) {
    if (color.alpha() == 0 || rect.isEmpty()) {
        return;
    }
    outline.cornerRadius =
        std::clamp(outline.cornerRadius, 0.0, std::min(rect.width(), rect.height()) / 2);
    const int margin = marginFor(radius);
    const int spread = 3 * boxRadiusFor(radius);
    const Stretch across = stretchAlong(rect.width(), outline.cornerReach(), margin, spread);
    const Stretch down = stretchAlong(rect.height(), outline.cornerReach(), margin, spread);
    // The same mask the whole shape would give, less the stretched lines, so that the sub-pixel
    // position of the far sides and the rounding of the size stay as they are.
    const QRectF bounds = rect.adjusted(-margin, -margin, margin, margin);
    const QSize size = bounds.size().toSize() + QSize(1 - across.by, 1 - down.by);
    const QRectF compact(margin, margin, rect.width() - across.by, rect.height() - down.by);
    const QImage mask = blurredSilhouette(outline.pathFor(compact), QPointF(), size, radius);
    // A whole image drawn at a fractional point lands on the nearest whole pixel; so do the pieces.
    drawStretched(painter, (bounds.topLeft() + offset).toPoint(), tinted(mask, color), across,
                  down);
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
    const int margin = marginFor(radius);
    const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    const QImage mask =
        blurredSilhouette(shape, -bounds.topLeft(), bounds.size().toSize() + QSize(1, 1), radius);
    painter.drawImage(bounds.topLeft() + offset, tinted(mask, color));
}

void SoftShadow::paintRoundedRect(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                  const QColor& color, qreal radius, const QPointF& offset) {
    paintOutline(painter, rect, Outline{.cornerRadius = cornerRadius, .ringWidth = 0}, color,
                 radius, offset);
}

void SoftShadow::paintRoundedRing(QPainter& painter, const QRectF& rect, qreal cornerRadius,
                                  qreal ringWidth, const QColor& color, qreal radius,
                                  const QPointF& offset) {
    paintOutline(painter, rect, Outline{.cornerRadius = cornerRadius, .ringWidth = ringWidth},
                 color, radius, offset);
}

} // namespace quorvane
