// The floating card behind the advanced options and the question and
// variation cards: material (dark) or text background (light), a hairline
// rim and a soft drop shadow. The widget is larger than its card by
// shadowMargins() so that the shadow has room to show; the content sits on
// the card unpadded.
#pragma once

#include <QMargins>
#include <QWidget>

namespace quorvane {

class Surface : public QWidget {
    Q_OBJECT

public:
    explicit Surface(qreal cornerRadius = 16, qreal shadowRadius = 18, qreal shadowY = 6,
                     QWidget* parent = nullptr);

    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    qreal cornerRadius() const { return cornerRadius_; }
    QMargins shadowMargins() const;
    QRectF cardRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal cornerRadius_;
    qreal shadowRadius_;
    qreal shadowY_;
    QWidget* content_ = nullptr;
};

} // namespace quorvane
