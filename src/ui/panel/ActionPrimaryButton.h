// The bar's call to action, "Enhance" or "Copy & Close", with the shortcut
// hint beside the title. The kit button keeps the title as its text (and so
// as what assistive tools read) and draws the background; the three label
// items are laid out here because the kit label has no room for a third.
#pragma once

#include "ui/kit/DesignMetrics.h"
#include "ui/kit/KitButton.h"

class QLabel;

namespace quorvane {

class ActionPrimaryButton : public KitButton {
    Q_OBJECT

public:
    static constexpr qreal width = DesignMetrics::ActionBar::primaryWidth;

    explicit ActionPrimaryButton(QWidget* parent = nullptr);

    void setCopyMode(bool copyMode);
    bool isCopyMode() const { return copyMode_; }
    QString hintText() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyLabelOpacity();

    bool copyMode_ = true;
    QLabel* symbol_;
    QLabel* title_;
    QLabel* hint_;
};

} // namespace quorvane
