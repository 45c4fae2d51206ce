// A pop-up picker for the scrolling settings form. The mouse wheel scrolls the
// form past it instead of stepping through its choices, so scrolling over the
// provider or model picker never changes the provider or the model.
#pragma once

#include <QComboBox>

namespace quorvane {

class FormComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit FormComboBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace quorvane
