// The inline warning above the editor after a failed request: an orange
// triangle, the message as given, and a "Settings" link-button when the fix
// lies in the settings.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace quorvane {

class ErrorBanner : public QWidget {
    Q_OBJECT

public:
    ErrorBanner(const std::string& message, bool suggestsSettings,
                std::function<void()> onOpenSettings, QWidget* parent = nullptr);

    void setMessage(const std::string& message);
    void setSuggestsSettings(bool suggestsSettings);
    void setOnOpenSettings(std::function<void()> onOpenSettings);

    QString message() const;
    bool suggestsSettings() const;
    QLabel* iconLabel() const { return icon_; }
    QLabel* messageLabel() const { return message_; }
    QToolButton* settingsButton() const { return settingsButton_; }

    // Word-wrapped labels guess a narrow width for their size hint; the
    // banner reports the height its text needs at its real width instead.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColors();
    void relayout();

    QLabel* icon_;
    QLabel* message_;
    QToolButton* settingsButton_;
    QVBoxLayout* column_;
    std::function<void()> onOpenSettings_;
    bool suggestsSettings_ = false;
};

} // namespace quorvane
