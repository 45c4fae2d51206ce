#include "OnboardingPageHeader.h"

#include "ui/kit/DesignFonts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quorvane {

OnboardingPageHeader::OnboardingPageHeader(const QString& title, const QString& subtitle,
                                           QWidget* parent)
    : QWidget(parent)
    , title_(new QLabel(title, this))
    , subtitle_(new QLabel(subtitle, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    QFont titleFont = DesignFonts::title3();
    titleFont.setWeight(QFont::DemiBold);
    title_->setFont(titleFont);
    title_->setTextFormat(Qt::PlainText);
    subtitle_->setFont(DesignFonts::callout());
    subtitle_->setTextFormat(Qt::PlainText);
    subtitle_->setWordWrap(true);
    layout->addWidget(title_);
    layout->addWidget(subtitle_);
}

void OnboardingPageHeader::setTitle(const QString& title) {
    title_->setText(title);
}

} // namespace quorvane
