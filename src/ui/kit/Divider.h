// A hairline between rows or columns in the separator colour of the scheme the widget is in.
// A plain frame line would take the text colour, which is far too loud in the dark look.
#pragma once

#include <QWidget>

namespace quorvane {

class Divider : public QWidget {
    Q_OBJECT

public:
    explicit Divider(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return orientation_; }
    // The line fainter still, as a share of the separator colour.
    void setOpacity(qreal opacity);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation orientation_;
    qreal opacity_ = 1.0;
};

} // namespace quorvane
