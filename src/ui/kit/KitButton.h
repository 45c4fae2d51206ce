// A push button drawn by one of the kit's button styles. The label is an
// optional symbol followed by an optional text; the style decides the size,
// colours and background, and the button springs its scale whenever it is
// pressed, released, entered or left.
#pragma once

#include "ui/kit/ButtonStyle.h"

#include <QAbstractButton>

#include <memory>
#include <optional>
#include <string>

namespace quorvane {

class SpringAnimation;

class KitButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit KitButton(std::unique_ptr<ButtonStyle> style, QWidget* parent = nullptr);
    ~KitButton() override;

    const ButtonStyle& style() const { return *style_; }

    void setSymbol(const std::string& name);
    const std::string& symbol() const { return symbol_; }
    // The symbol is drawn at the label font's size unless set here.
    void setSymbolPixelSize(std::optional<qreal> size);
    void setSpacing(qreal spacing);
    // Replaces the style's label colour, e.g. the secondary look of header icons.
    void setLabelColor(std::optional<QColor> color);
    void setControlSize(ControlSize size);
    ControlSize controlSize() const { return style_->controlSize(); }

    ButtonStyle::State state() const;
    bool isHovered() const { return hovering_; }
    // The scale the button is springing towards, and where it is now.
    qreal targetScale() const { return targetScale_; }
    qreal currentScale() const { return scale_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QSizeF labelSize() const;
    qreal symbolPixelSize() const;
    void paintLabel(QPainter& painter, const QRectF& rect, ColorScheme::Scheme scheme) const;
    void refreshScale();

    std::unique_ptr<ButtonStyle> style_;
    SpringAnimation* animation_;
    std::string symbol_;
    std::optional<qreal> symbolSize_;
    std::optional<QColor> labelColor_;
    qreal spacing_ = 6;
    bool hovering_ = false;
    qreal scale_ = 1.0;
    qreal targetScale_ = 1.0;
};

} // namespace quorvane
