#include "ui/windows/SupportSection.h"

#include "platform/links/Links.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SupportFormButton.h"

#include <QVBoxLayout>

namespace quorvane {

SupportSection::SupportSection(AppState& /*state*/, QWidget* parent)
    : QWidget(parent)
    , group_(new SettingsGroup(QStringLiteral("Support")))
    , sponsorLink_(SupportFormButton::link(QStringLiteral("heart"),
                                           QStringLiteral("GitHub Sponsors"), Links::sponsor))
    , donateLink_(SupportFormButton::link(QStringLiteral("cup.and.saucer"),
                                          QStringLiteral("Buy Me a Coffee"), Links::donate)) {
    group_->setFooter(
        QStringLiteral("Free forever. Donations are optional and never block any feature."));
    group_->addRow(sponsorLink_);
    group_->addRow(donateLink_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
}

} // namespace quorvane
