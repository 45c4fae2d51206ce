// An API key field: a password-echo line edit with a button beside it that
// shows or hides the key in plain text.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace quorvane {

class SecureKeyField : public QWidget {
    Q_OBJECT

public:
    explicit SecureKeyField(QWidget* parent = nullptr);

    QString text() const;
    // Programmatic changes do not emit textEdited().
    void setText(const QString& text);
    void setPlaceholderText(const QString& text);
    QString placeholderText() const;

    bool isKeyShown() const { return shown_; }
    void setKeyShown(bool shown);

    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* toggleButton() const { return toggle_; }

signals:
    void textEdited(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshToggle();

    QLineEdit* edit_;
    QToolButton* toggle_;
    bool shown_ = false;
};

} // namespace quorvane
