// The bottom row of the panel: the status capsule naming the model or
// provider, and the sponsorship link.
#pragma once

#include <QWidget>

class QToolButton;

namespace quorvane {

class PanelStatusCapsule;
class PopoverView;

class PanelFooter : public QWidget {
    Q_OBJECT

public:
    explicit PanelFooter(PopoverView& panel, QWidget* parent = nullptr);

    void refresh();

    PanelStatusCapsule* statusCapsule() const { return capsule_; }
    QToolButton* sponsorLink() const { return sponsor_; }

private:
    PopoverView& panel_;
    PanelStatusCapsule* capsule_;
    QToolButton* sponsor_;
};

} // namespace quorvane
