// The row under the editor card that starts and stops work (Variations, the
// primary button or the working pill, Clear) and the "Advanced" disclosure
// under it. Everything it shows is read from the state on each refresh.
#pragma once

#include <QWidget>

#include <optional>

namespace quorvane {

class ActionDisclosureButton;
class ActionPrimaryButton;
class KitButton;
class PopoverView;
class WorkingPill;

class ActionBar : public QWidget {
    Q_OBJECT

public:
    explicit ActionBar(PopoverView& panel, QWidget* parent = nullptr);

    void refresh();

    KitButton* variationsButton() const { return variations_; }
    ActionPrimaryButton* primaryButton() const { return primary_; }
    WorkingPill* workingPill() const { return pill_; }
    KitButton* clearButton() const { return clear_; }
    ActionDisclosureButton* advancedButton() const { return advanced_; }

private:
    void showBusy(bool busy);

    PopoverView& panel_;
    KitButton* variations_;
    ActionPrimaryButton* primary_;
    WorkingPill* pill_;
    KitButton* clear_;
    ActionDisclosureButton* advanced_;
    // What the slot of the primary button shows; unset until the first refresh.
    std::optional<bool> shownBusy_;
};

} // namespace quorvane
