// The capsule at the start of the panel footer naming where requests go:
// a sparkle, the model (or provider) name cut in the middle when it is too
// long, and a green dot.
#pragma once

#include <QWidget>

namespace quorvane {

class PanelStatusCapsule : public QWidget {
    Q_OBJECT

public:
    explicit PanelStatusCapsule(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }
    // What fits in the capsule at its current width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal textRoom() const;

    QString text_;
};

} // namespace quorvane
