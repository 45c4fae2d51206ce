// The push buttons of the settings form's info sections: a small flat button
// with an optional symbol before its text, which starts at the leading edge
// when the row stretches the button, as the rows of a form read. A link button opens its address
// with the desktop's handler (the browser, or the mail program for mailto:),
// and a destructive one draws its label in red.
#pragma once

#include <QPushButton>
#include <QString>

#include <string_view>

namespace quorvane {

class SupportFormButton : public QPushButton {
    Q_OBJECT
public:
    SupportFormButton(const QString& symbol, const QString& text, QWidget* parent = nullptr);

    // A button that opens `url` when clicked.
    static SupportFormButton* link(const QString& symbol, const QString& text, std::string_view url,
                                   QWidget* parent = nullptr);

    void setDestructive(bool destructive);
    bool isDestructive() const { return destructive_; }
    const QString& symbol() const { return symbol_; }

    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyColors();

    QString symbol_;
    bool destructive_ = false;
};

} // namespace quorvane
