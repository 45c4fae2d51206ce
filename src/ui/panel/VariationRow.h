// One candidate of the variations picker: its number, the "Use this" button
// and the first lines of its text on a faint rounded card.
#pragma once

#include <QWidget>

class QLabel;

namespace quorvane {

class KitButton;

class VariationRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int maximumLines = 12;

    explicit VariationRow(int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    QLabel* numberLabel() const { return number_; }
    QLabel* textLabel() const { return text_; }
    KitButton* useButton() const { return use_; }

    void setText(const QString& text);
    void applyColors();

signals:
    void useRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int index_;
    QLabel* number_;
    KitButton* use_;
    QLabel* text_;
};

} // namespace quorvane
