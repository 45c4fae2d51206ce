#include "ui/windows/AboutSection.h"

#include "platform/appinfo/ApplicationInfo.h"
#include "platform/links/Links.h"
#include "platform/pasteboard/Pasteboard.h"
#include "state/AppState.h"
#include "ui/windows/AboutVersion.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/SupportFormButton.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quorvane {

AboutSection::AboutSection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , pasteboard_(state.pasteboard())
    , group_(new SettingsGroup(QStringLiteral("About"))) {
    versionLabel_ = new QLabel(AboutVersion::text(state.applicationInfo()));
    versionLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    group_->addRow(new SettingsRow(QString(), QStringLiteral("Version"), versionLabel_));

    checkForUpdates_ = new SupportFormButton(QStringLiteral("arrow.down.circle"),
                                             QStringLiteral("Check for Updates…"));
    websiteLink_ =
        SupportFormButton::link(QStringLiteral("globe"), QStringLiteral("Website"), Links::website);
    privacyLink_ = SupportFormButton::link(QStringLiteral("hand.raised"),
                                           QStringLiteral("Privacy Policy"), Links::privacy);
    contactLink_ = SupportFormButton::link(QStringLiteral("envelope"),
                                           QStringLiteral("Contact support"), Links::supportMail);
    copyDiagnostics_ = new SupportFormButton(QStringLiteral("doc.on.clipboard"),
                                             QStringLiteral("Copy diagnostics"));
    copyDiagnostics_->setToolTip(QStringLiteral(
        "Copy app version, OS, provider and the last error code — no prompt text — for a bug "
        "report."));
    showOnboarding_ = new SupportFormButton(QStringLiteral("sparkles.rectangle.stack"),
                                            QStringLiteral("Show onboarding again"));
    for (QWidget* row :
         {static_cast<QWidget*>(checkForUpdates_), static_cast<QWidget*>(websiteLink_),
          static_cast<QWidget*>(privacyLink_), static_cast<QWidget*>(contactLink_),
          static_cast<QWidget*>(copyDiagnostics_), static_cast<QWidget*>(showOnboarding_)}) {
        group_->addRow(row);
    }

    connect(checkForUpdates_, &QPushButton::clicked, this, [this] {
        if (state_.onCheckForUpdates) {
            state_.onCheckForUpdates();
        }
    });
    connect(copyDiagnostics_, &QPushButton::clicked, this, [this] { copyDiagnostics(); });
    connect(showOnboarding_, &QPushButton::clicked, this, [this] { showOnboardingAgain(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
}

AboutSection::~AboutSection() = default;

void AboutSection::copyDiagnostics() {
    pasteboard_.clearContents();
    pasteboard_.setString(state_.diagnosticsText());
}

void AboutSection::showOnboardingAgain() {
    state_.setHasCompletedOnboarding(false);
    if (state_.onShowOnboarding) {
        state_.onShowOnboarding();
    }
}

} // namespace quorvane
