// The icon buttons in the editor card's corners: a plain symbol with 12 of
// clickable padding on every side, optionally on a small framed tile of
// material (the paste and copy button).
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QAbstractButton>

#include <string>

namespace quorvane {

class EditorCornerButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int padding = DesignMetrics::EditorCornerButton::padding;

    // tileSide 0 draws the bare symbol.
    EditorCornerButton(qreal symbolSize, int tileSide, QWidget* parent = nullptr);

    void setSymbol(const std::string& name);
    const std::string& symbol() const { return symbol_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal symbolSize_;
    int tileSide_;
    std::string symbol_;
};

} // namespace quorvane
