#include "ui/kit/PushButtonSize.h"

#include "ui/kit/DesignFonts.h"

#include <QPushButton>

namespace quorvane {

void PushButtonSize::apply(QPushButton& button, ControlSize size) {
    const bool small = size == ControlSize::small;
    button.setAttribute(Qt::WA_MacSmallSize, small);
    // A default font resolves nothing, so a regular button inherits its parent's again.
    button.setFont(small ? DesignFonts::system(ButtonStyle::smallLabelSize) : QFont());
}

} // namespace quorvane
