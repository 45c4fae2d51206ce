// The title and subtitle at the top of the provider, key and options pages.
#pragma once

#include <QWidget>

class QLabel;

namespace quorvane {

class OnboardingPageHeader : public QWidget {
    Q_OBJECT

public:
    OnboardingPageHeader(const QString& title, const QString& subtitle, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QLabel* titleLabel() const { return title_; }
    QLabel* subtitleLabel() const { return subtitle_; }

private:
    QLabel* title_;
    QLabel* subtitle_;
};

} // namespace quorvane
