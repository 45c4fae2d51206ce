// How a kit button looks: its size around the label, its background, its
// label font and colour, and how it scales and fades with its state.
// KitButton does the event handling and animation and asks its style for
// everything it draws, so the three styles are plain painter objects.
#pragma once

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignSprings.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace quorvane {

// The desktop's two control sizes. A small control is what sits in a card's
// header or a list row: a smaller label with less padding around it.
enum class ControlSize { regular, small };

class ButtonStyle {
public:
    struct State {
        bool enabled = true;
        bool hovered = false;
        bool pressed = false;
    };

    static constexpr qreal disabledOpacity = 0.45;
    static constexpr qreal smallLabelSize = 11;

    virtual ~ButtonStyle() = default;

    // The button's layout size for a label of the given size.
    virtual QSizeF sizeFor(const QSizeF& labelSize) const = 0;
    // Room kept around the layout size so that growing on hover is not clipped.
    virtual qreal paintMargin() const { return 0; }
    virtual QFont labelFont() const = 0;
    virtual QColor labelColor(ColorScheme::Scheme scheme) const = 0;
    virtual qreal scale(const State& state) const = 0;
    virtual const Spring& scaleSpring() const = 0;
    virtual void paintBackground(QPainter& painter, const QRectF& rect, ColorScheme::Scheme scheme,
                                 const State& state) const = 0;

    virtual qreal opacity(const State& state) const {
        return state.enabled ? 1.0 : disabledOpacity;
    }

    // Styles without a small variant keep drawing at their regular size.
    void setControlSize(ControlSize size) { controlSize_ = size; }
    ControlSize controlSize() const { return controlSize_; }

protected:
    bool isSmall() const { return controlSize_ == ControlSize::small; }

private:
    ControlSize controlSize_ = ControlSize::regular;
};

} // namespace quorvane
