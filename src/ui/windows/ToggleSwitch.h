// The switch look of the settings toggles: a check box drawn as a rounded
// track with a sliding knob, keeping the check box's keyboard and
// accessibility behaviour.
#pragma once

#include <QCheckBox>

namespace quorvane {

class ToggleSwitch : public QCheckBox {
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget* parent = nullptr);
    explicit ToggleSwitch(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRectF trackRect() const;
};

} // namespace quorvane
