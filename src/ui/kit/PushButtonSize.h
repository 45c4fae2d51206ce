// The control size of the platform's own push buttons, for the places that
// keep the desktop's bordered button instead of a kit style. A small push
// button gets the smaller label font; on styles that know a small variant
// (macOS) it also asks for that.
#pragma once

#include "ui/kit/ButtonStyle.h"

class QPushButton;

namespace quorvane {

class PushButtonSize {
public:
    static void apply(QPushButton& button, ControlSize size);
};

} // namespace quorvane
