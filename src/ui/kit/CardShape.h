// A plain card: text-background fill, a light shadow and an outline that
// turns into a 2-point accent ring while focused. Like Surface it keeps
// shadowMargins() around the card for its shadow and lays its content out
// on the card.
#pragma once

#include <QMargins>
#include <QWidget>

class QVariantAnimation;

namespace quorvane {

class CardShape : public QWidget {
    Q_OBJECT

public:
    explicit CardShape(bool focused = false, qreal cornerRadius = 7, QWidget* parent = nullptr);

    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    bool isFocused() const { return focused_; }
    void setFocused(bool focused);
    // 0 shows the resting outline, 1 the focus ring; eases between them.
    qreal focusProgress() const { return focusProgress_; }

    qreal cornerRadius() const { return cornerRadius_; }
    static QMargins shadowMargins();
    QRectF cardRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool focused_;
    qreal cornerRadius_;
    qreal focusProgress_;
    QWidget* content_ = nullptr;
    QVariantAnimation* focusAnimation_;
};

} // namespace quorvane
