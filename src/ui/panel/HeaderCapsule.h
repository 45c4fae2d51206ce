// The capsule behind the header's preset menu and status: material fill with a faint rim, so
// the two read as one family.
#pragma once

#include "ui/kit/ColorScheme.h"

#include <QRectF>

class QPainter;

namespace quorvane {

class HeaderCapsule {
public:
    static void paint(QPainter& painter, const QRectF& capsule, ColorScheme::Scheme scheme);
};

} // namespace quorvane
