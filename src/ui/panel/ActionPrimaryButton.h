// The bar's call to action, "Enhance" or "Copy & Close", with the shortcut
// hint beside the title. The kit button keeps the title as its text (and so
// as what assistive tools read) and draws the background; the three label
// items are laid out here because the kit label has no room for a third.
#pragma once

#include "state/AppShortcuts.h"
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
    // The combination the primary action is bound to now, which the tooltip names.
    void setBoundKeys(const HotkeyConfig& keys);
    QString hintText() const;

    // The fixed width, or more where the title and the hint need it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyLabelOpacity();
    void applyToolTip();

    bool copyMode_ = true;
    HotkeyConfig boundKeys_ = AppShortcuts::builtIn().enhance;
    QLabel* symbol_;
    QLabel* title_;
    QLabel* hint_;
};

} // namespace quorvane
