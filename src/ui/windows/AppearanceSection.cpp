#include "ui/windows/AppearanceSection.h"

#include "state/AppState.h"
#include "ui/windows/SegmentedPicker.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"

#include <QVBoxLayout>

namespace quorvane {

namespace {

struct ThemeItem {
    Appearance appearance;
    const char* text;
    const char* symbol;
};

// In the order of the Appearance cases.
constexpr ThemeItem themeItems[] = {
    {Appearance::auto_, QT_TRANSLATE_NOOP("AppearanceSection", "Auto"), "circle.lefthalf.filled"},
    {Appearance::light, QT_TRANSLATE_NOOP("AppearanceSection", "Light"), "sun.max"},
    {Appearance::dark, QT_TRANSLATE_NOOP("AppearanceSection", "Dark"), "moon"},
};

} // namespace

AppearanceSection::AppearanceSection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(tr("Appearance"), this))
    , picker_(new SegmentedPicker(this)) {
    for (const auto& item : themeItems) {
        picker_->addSegment(QString::fromLatin1(item.symbol), tr(item.text));
    }
    picker_->setAccessibleName(tr("Theme"));
    connect(picker_, &SegmentedPicker::activated, this,
            [this](int index) { state_.setAppearance(themeItems[index].appearance); });
    group_->addRow(new SettingsRow(QStringLiteral("paintbrush"), tr("Theme"), picker_));
    group_->setFooter(tr("Auto follows your system theme. Light and Dark pin the app regardless "
                         "of system setting."));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    refresh();
}

void AppearanceSection::refresh() {
    const Appearance current = state_.appearance();
    for (int index = 0; index < picker_->count(); ++index) {
        if (themeItems[index].appearance == current) {
            picker_->setCurrentIndex(index);
        }
    }
}

} // namespace quorvane
