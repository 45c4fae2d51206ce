// The wand tile of the welcome and done pages: an indigo-to-purple rounded square with the wand
// symbol in white and a soft shadow under it.
#pragma once

#include <QWidget>

namespace quorvane {

class OnboardingIconTile : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal side = 84;

    explicit OnboardingIconTile(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr qreal cornerRadius = 20;
    static constexpr qreal shadowRadius = 8;
    static constexpr qreal shadowOffset = 4;
    static constexpr qreal symbolSize = 40;

    qreal margin() const;
};

} // namespace quorvane
