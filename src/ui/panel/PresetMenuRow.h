// The row of one built-in preset in the preset menu: the preset's symbol and
// name, a pencil mark when the user customized the preset, and a checkmark
// at the trailing edge for the current one. A plain menu row holds only an
// icon and a text, hence a row of its own. The menu keeps treating the row's
// action as any other: hover, keyboard and clicks go through the menu, which
// the row lets every mouse event reach; the row only paints.
#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <string>

class QAction;
class QMenu;

namespace quorvane {

class PresetMenuRow : public QWidget {
    Q_OBJECT

public:
    PresetMenuRow(QAction& action, std::string symbol, bool customized, QMenu& menu);

    bool isCustomized() const { return customized_; }
    bool isHighlighted() const;
    // Where the pencil mark and the checkmark are drawn; empty when absent.
    QRectF customizedMarkRect() const;
    QRectF checkmarkRect() const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QAction> action_;
    QPointer<QMenu> menu_;
    std::string symbol_;
    bool customized_;
};

} // namespace quorvane
