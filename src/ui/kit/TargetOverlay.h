// A widget that stands beside another one in the same parent and keeps to it: the rim above
// the editor card, the shadow under it. It follows the target whenever the target moves,
// resizes, shows, hides, restacks or changes parent, takes no clicks, and goes when the target
// goes, since it is not the target's child.
#pragma once

#include <QPointer>
#include <QWidget>

namespace quorvane {

class TargetOverlay : public QWidget {
    Q_OBJECT

protected:
    // Subclasses call followTarget() once they are built.
    explicit TargetOverlay(QWidget* target);

    QWidget* target() const { return target_; }
    // Takes the target's new place; the target may be gone by now.
    virtual void followTarget() = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> target_;
};

} // namespace quorvane
