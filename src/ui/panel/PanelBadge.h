// The application's badge at the start of the panel header: the wand on the
// accent gradient in a small rounded square with a purple glow under it.
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QWidget>

namespace quorvane {

class PanelBadge : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal side = DesignMetrics::PanelBadge::side;

    explicit PanelBadge(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quorvane
