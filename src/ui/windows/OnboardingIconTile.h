// The wand tile of the welcome and done pages: an indigo-to-purple rounded square with the wand
// symbol in white and a soft shadow under it.
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QWidget>

namespace quorvane {

class OnboardingIconTile : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal side = DesignMetrics::OnboardingIconTile::side;

    explicit OnboardingIconTile(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr qreal cornerRadius = DesignMetrics::OnboardingIconTile::cornerRadius;
    static constexpr qreal shadowRadius = DesignMetrics::OnboardingIconTile::shadowRadius;
    static constexpr qreal shadowOffset = DesignMetrics::OnboardingIconTile::shadowOffset;
    static constexpr qreal symbolSize = DesignMetrics::OnboardingIconTile::symbolSize;

    qreal margin() const;
};

} // namespace quorvane
