#include "ui/windows/FormComboBox.h"

#include <QWheelEvent>

namespace quorvane {

FormComboBox::FormComboBox(QWidget* parent)
    : QComboBox(parent) {}

void FormComboBox::wheelEvent(QWheelEvent* event) {
    // Left unaccepted, the event goes on to the scroll area around the form.
    event->ignore();
}

} // namespace quorvane
