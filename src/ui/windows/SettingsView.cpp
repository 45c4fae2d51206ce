#include "ui/windows/SettingsView.h"

#include "state/AppState.h"
#include "ui/kit/ApplicationTheme.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/windows/AboutSection.h"
#include "ui/windows/AboutVersion.h"
#include "ui/windows/AppearanceSection.h"
#include "ui/windows/BehaviorSection.h"
#include "ui/windows/HistorySection.h"
#include "ui/windows/PresetsSection.h"
#include "ui/windows/PrivacySection.h"
#include "ui/windows/ProviderSection.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsHeader.h"
#include "ui/windows/ShortcutsSection.h"
#include "ui/windows/SupportSection.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::SettingsForm;

QString versionString() {
    const ApplicationInfo info;
    return AboutVersion::text(info);
}

} // namespace

SettingsView::SettingsView(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , scroll_(new QScrollArea(this))
    , refresher_(state, *this, [this] { refresh(); }) {
    setFixedWidth(formWidth);
    setMinimumHeight(formMinimumHeight);
    setAutoFillBackground(true);

    auto* content = new QWidget(scroll_);
    auto* form = new QVBoxLayout(content);
    form->setContentsMargins(Metrics::margin, Metrics::margin, Metrics::margin, Metrics::margin);
    form->setSpacing(Metrics::sectionSpacing);

    auto* headerGroup = new SettingsGroup(QString(), content);
    header_ = new SettingsHeader(versionString());
    headerGroup->addRow(header_);
    form->addWidget(headerGroup);

    provider_ = addSection<ProviderSection>(content);
    addSection<PresetsSection>(content);
    appearance_ = addSection<AppearanceSection>(content);
    behavior_ = addSection<BehaviorSection>(content);
    addSection<ShortcutsSection>(content);
    addSection<HistorySection>(content);
    addSection<PrivacySection>(content);
    addSection<SupportSection>(content);
    addSection<AboutSection>(content);
    form->addStretch(1);

    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);

    refreshColorScheme();
    if (auto* theme = ApplicationTheme::instance()) {
        connect(theme, &ApplicationTheme::desktopSchemeChanged, this,
                [this] { refresher_.schedule(); });
    }
}

SettingsView::~SettingsView() = default;

template <typename Section>
Section* SettingsView::addSection(QWidget* content) {
    auto* section = new Section(state_, content);
    content->layout()->addWidget(section);
    sections_.push_back(section);
    refreshers_.emplace_back([section] { section->refresh(); });
    return section;
}

void SettingsView::refresh() {
    refreshColorScheme();
    for (const auto& refreshSection : refreshers_) {
        refreshSection();
    }
}

void SettingsView::refreshColorScheme() {
    ApplicationTheme::apply(*this, ApplicationTheme::windowScheme(state_.appearance()));
}

} // namespace quorvane
