// The "Advanced" disclosure under the action bar: a chevron, the title and,
// while any style option is set, a small tinted dot.
#pragma once

#include <QAbstractButton>

namespace quorvane {

class ActionDisclosureButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit ActionDisclosureButton(QWidget* parent = nullptr);

    void setExpanded(bool expanded);
    bool isExpanded() const { return expanded_; }
    void setShowsDot(bool shows);
    bool showsDot() const { return showsDot_; }
    const char* chevronSymbol() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool expanded_ = false;
    bool showsDot_ = false;
};

} // namespace quorvane
