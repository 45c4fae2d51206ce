#include "ui/panel/PanelFooter.h"

#include "engine/ProviderConfig.h"
#include "platform/links/Links.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/panel/PanelStatusCapsule.h"
#include "ui/panel/PopoverView.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QToolButton>
#include <QUrl>

#include <string>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PanelFooter;

} // namespace

PanelFooter::PanelFooter(PopoverView& panel, QWidget* parent)
    : QWidget(parent)
    , panel_(panel)
    , capsule_(new PanelStatusCapsule(this))
    , sponsor_(new QToolButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Metrics::rowSpacing);
    row->addWidget(capsule_, 1, Qt::AlignLeft);
    row->addStretch(0);

    sponsor_->setObjectName(QStringLiteral("sponsorLink"));
    sponsor_->setText(QStringLiteral("Sponsor"));
    sponsor_->setAccessibleName(QStringLiteral("Sponsor"));
    sponsor_->setToolTip(QString::fromUtf8(Links::sponsor.data(), Links::sponsor.size()));
    sponsor_->setFont(DesignFonts::system(12, QFont::Medium));
    sponsor_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sponsor_->setIconSize(QSize(Metrics::heartSize, Metrics::heartSize));
    sponsor_->setAutoRaise(true);
    sponsor_->setCursor(Qt::PointingHandCursor);
    sponsor_->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    connect(sponsor_, &QToolButton::clicked, this, [] {
        QDesktopServices::openUrl(
            QUrl(QString::fromUtf8(Links::sponsor.data(), Links::sponsor.size())));
    });
    row->addWidget(sponsor_);

    connect(&panel_, &PopoverView::refreshed, this, &PanelFooter::refresh);
    refresh();
}

void PanelFooter::refresh() {
    const AppState& state = panel_.state();
    const std::string& name = state.model().empty()
                                  ? ProviderConfig::config(state.providerID()).displayName
                                  : state.model();
    capsule_->setText(QString::fromStdString(name));

    const QColor purple = DesignColors::purpleText(ColorScheme::of(this));
    if (sponsor_->palette().color(QPalette::ButtonText) != purple) {
        WidgetPalette::setForeground(*sponsor_, purple);
        sponsor_->setIcon(Symbols::icon("heart", Metrics::heartSize, purple));
    }
}

} // namespace quorvane
