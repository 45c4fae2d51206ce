// Opacity transitions for widgets that come and go. An arriving widget is
// shown at once and fades in from transparent; a leaving one is hidden at
// once, so that nothing types into it or clicks it any more, and a picture of
// it fades out where it stood. Both follow a spring. With reduced motion, or
// while the widget is not on screen, the change is immediate.
#pragma once

#include "ui/kit/DesignSprings.h"

#include <QtGlobal>

class QWidget;

namespace quorvane {

class OpacityTransition {
public:
    // Object name of the picture a leaving widget leaves behind.
    static constexpr const char* snapshotName = "leavingSnapshot";

    // Shows the widget and fades it in, from where an unfinished fade-in left it.
    static void insert(QWidget& widget, const Spring& spring);
    // Hides the widget and fades out a picture of it in its place. Returns the
    // picture, or nullptr when there is nothing to fade; the caller may delete
    // the widget right away.
    static QWidget* remove(QWidget& widget, const Spring& spring);

    // The opacity the widget is drawn at by its own fade-in: 1 once it ended.
    static qreal opacity(const QWidget& widget);
};

} // namespace quorvane
