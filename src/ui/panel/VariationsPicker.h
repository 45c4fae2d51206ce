// The candidate rewrites of the variations flow, each with a button that
// makes it the result, and a Dismiss button that drops them all.
#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace quorvane {

class KitButton;
class PopoverView;
class VariationRow;

class VariationsPicker : public QWidget {
    Q_OBJECT

public:
    explicit VariationsPicker(PopoverView& panel, QWidget* parent = nullptr);

    void refresh();
    void dismissVariations();

    const QList<VariationRow*>& rows() const { return rows_; }
    KitButton* dismissButton() const { return dismiss_; }

private:
    void useVariation(int index);
    void syncRows();

    PopoverView& panel_;
    QLabel* symbol_;
    QLabel* title_;
    KitButton* dismiss_;
    QVBoxLayout* rowsLayout_;
    QList<VariationRow*> rows_;
};

} // namespace quorvane
