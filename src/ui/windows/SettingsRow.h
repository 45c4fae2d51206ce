// A labelled row of the settings form: an optional symbol and a label on the
// left, the control on the right.
#pragma once

#include "ui/kit/DesignMetrics.h"

#include <QWidget>

class QLabel;

namespace quorvane {

class SettingsRow : public QWidget {
    Q_OBJECT

public:
    // The row's measures, for controls that must line up with its symbol and label.
    static constexpr int leadingInset = DesignMetrics::SettingsRow::leadingInset;
    static constexpr int symbolColumn = DesignMetrics::SettingsRow::symbolColumn;
    static constexpr int spacing = DesignMetrics::SettingsRow::spacing;

    // `symbol` is a Symbols name; empty leaves the row without an icon.
    SettingsRow(const QString& symbol, const QString& label, QWidget* control,
                QWidget* parent = nullptr);

    QLabel* label() const { return label_; }
    QLabel* symbolLabel() const { return symbol_; }
    QWidget* control() const { return control_; }

private:
    QLabel* symbol_;
    QLabel* label_;
    QWidget* control_;
};

} // namespace quorvane
