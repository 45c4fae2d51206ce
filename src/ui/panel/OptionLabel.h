// The heading of one advanced-options column: symbol, title and an info mark.
#pragma once

#include <QWidget>

#include <string>

class QLabel;

namespace quorvane {

class OptionLabel : public QWidget {
    Q_OBJECT

public:
    OptionLabel(const std::string& symbol, const QString& title, QWidget* parent = nullptr);

    QString title() const;
    // Re-colours for the current light or dark look.
    void applyColors();

private:
    QLabel* symbol_;
    QLabel* title_;
    QLabel* info_;
};

} // namespace quorvane
