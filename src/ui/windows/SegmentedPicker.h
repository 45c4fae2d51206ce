// A row of exclusive buttons, one per choice, each with a symbol and a text;
// the checked one is the current choice.
#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;

namespace quorvane {

class SegmentedPicker : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedPicker(QWidget* parent = nullptr);

    // Returns the new segment's index.
    int addSegment(const QString& symbol, const QString& text);
    int count() const;
    QAbstractButton* segment(int index) const;

    int currentIndex() const;
    // Does not emit activated().
    void setCurrentIndex(int index);

signals:
    // The user chose a segment.
    void activated(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColors();

    QButtonGroup* buttons_;
    QHBoxLayout* layout_;
    QStringList symbols_;
};

} // namespace quorvane
