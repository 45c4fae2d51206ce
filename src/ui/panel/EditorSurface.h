// The body of the editor card: the regular material in a rounded rectangle
// of radius 22, under the editor, its placeholder and the corner buttons.
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QWidget>

namespace quorvane {

class EditorSurface : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal cornerRadius = DesignMetrics::EditorCard::cornerRadius;

    explicit EditorSurface(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quorvane
