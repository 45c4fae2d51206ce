#include "ui/windows/SettingsView.h"

#include "state/AppState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
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

#include <QApplication>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace quorvane {

namespace {

constexpr int formMargin = 20;
constexpr int sectionSpacing = 18;

QString versionString() {
    const ApplicationInfo info;
    return AboutVersion::text(info);
}

std::optional<ColorScheme::Scheme> schemeFor(Appearance appearance) {
    switch (appearance) {
    case Appearance::light:
        return ColorScheme::Scheme::light;
    case Appearance::dark:
        return ColorScheme::Scheme::dark;
    case Appearance::auto_:
        break;
    }
    return std::nullopt;
}

// The standard controls of the form read the palette, not the forced scheme,
// so a pinned look brings a palette of its own.
QPalette paletteFor(ColorScheme::Scheme scheme) {
    QPalette palette = QApplication::palette();
    const QColor primary = DesignColors::primary(scheme);
    const QColor background = DesignColors::textBackground(scheme);
    const QColor window =
        scheme == ColorScheme::Scheme::dark ? background.lighter(115) : background.darker(104);
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase}) {
        palette.setColor(role, window);
    }
    palette.setColor(QPalette::Base, background);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, primary);
    }
    palette.setColor(QPalette::PlaceholderText, DesignColors::secondary(scheme));
    palette.setColor(QPalette::Highlight, DesignColors::accent(scheme));
    palette.setColor(QPalette::HighlightedText, DesignColors::white());
    palette.setColor(QPalette::Disabled, QPalette::WindowText, DesignColors::tertiary(scheme));
    palette.setColor(QPalette::Disabled, QPalette::Text, DesignColors::tertiary(scheme));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, DesignColors::tertiary(scheme));
    return palette;
}

} // namespace

SettingsView::SettingsView(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , scroll_(new QScrollArea(this)) {
    setFixedWidth(formWidth);
    setMinimumHeight(formMinimumHeight);
    setAutoFillBackground(true);

    auto* content = new QWidget(scroll_);
    auto* form = new QVBoxLayout(content);
    form->setContentsMargins(formMargin, formMargin, formMargin, formMargin);
    form->setSpacing(sectionSpacing);

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
    subscription_ = state_.observe([this](AppState::Property) { scheduleRefresh(); });
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

void SettingsView::scheduleRefresh() {
    if (refreshPending_) {
        return;
    }
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refresh();
    });
}

void SettingsView::refresh() {
    refreshColorScheme();
    for (const auto& refreshSection : refreshers_) {
        refreshSection();
    }
}

void SettingsView::refreshColorScheme() {
    const auto scheme = schemeFor(state_.appearance());
    if (scheme == ColorScheme::forced(this)) {
        return;
    }
    ColorScheme::force(this, scheme);
    setPalette(scheme ? paletteFor(*scheme) : QApplication::palette());
}

} // namespace quorvane
