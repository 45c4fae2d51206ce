#include "ui/windows/PresetBuiltInRow.h"

#include "engine/MetaPrompt.h"
#include "state/AppState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/PushButtonSize.h"
#include "ui/kit/Symbols.h"
#include "ui/windows/PresetTextEditor.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace quorvane {

namespace {

constexpr int editorHeight = 60;
constexpr qreal editorOpacity = 0.8;
constexpr qreal symbolSize = 14;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* smallButton(const QString& text) {
    auto* button = new QPushButton(text);
    PushButtonSize::apply(*button, ControlSize::small);
    button->setFont(DesignFonts::caption());
    return button;
}

QWidget* customizedLabel(ColorScheme::Scheme scheme) {
    const QColor orange = DesignColors::orange(scheme);
    auto* mark = new QWidget;
    auto* layout = new QHBoxLayout(mark);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    auto* icon = new QLabel;
    icon->setPixmap(Symbols::icon("pencil.circle", 11, orange).pixmap(11, 11));
    auto* text = new QLabel(QStringLiteral("Customized"));
    text->setFont(DesignFonts::caption());
    QPalette colors = text->palette();
    colors.setColor(QPalette::WindowText, orange);
    text->setPalette(colors);
    layout->addWidget(icon);
    layout->addWidget(text);
    mark->setAccessibleName(QStringLiteral("Customized"));
    return mark;
}

} // namespace

PresetBuiltInRow::PresetBuiltInRow(AppState& state, Preset preset, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , preset_(preset) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(7);
    layout->addWidget(buildHeader());

    editor_ = new PresetTextEditor(editorHeight);
    editor_->editor()->setAccessibleName(toQString(label(preset)) +
                                         QStringLiteral(" instructions"));
    auto* fade = new QGraphicsOpacityEffect(editor_);
    fade->setOpacity(editorOpacity);
    editor_->setGraphicsEffect(fade);
    layout->addWidget(editor_);

    connect(editor_, &PresetTextEditor::edited, this, [this](const QString& text) {
        state_.saveOverride(preset_, text.toStdString());
        // The override store publishes nothing, so the mark follows it here.
        refresh();
    });
    refresh();
}

QWidget* PresetBuiltInRow::buildHeader() {
    const auto scheme = ColorScheme::of(this);
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(8);

    auto* symbol = new QLabel;
    symbol->setPixmap(
        Symbols::icon(symbolName(preset_), symbolSize, DesignColors::secondary(scheme))
            .pixmap(static_cast<int>(symbolSize), static_cast<int>(symbolSize)));
    auto* name = new QLabel(toQString(label(preset_)));
    name->setFont(DesignFonts::system(12, QFont::Medium));

    customizedMark_ = customizedLabel(scheme);
    cloneButton_ = smallButton(QStringLiteral("Clone"));
    resetButton_ = smallButton(QStringLiteral("Reset"));
    connect(cloneButton_, &QPushButton::clicked, this, [this] { state_.duplicatePreset(preset_); });
    connect(resetButton_, &QPushButton::clicked, this, [this] {
        resetOverrides();
        refresh();
    });

    layout->addWidget(symbol);
    layout->addWidget(name);
    layout->addStretch(1);
    layout->addWidget(customizedMark_);
    layout->addWidget(cloneButton_);
    layout->addWidget(resetButton_);
    return header;
}

void PresetBuiltInRow::refresh() {
    editor_->setTextIfDifferent(editorText());
    const bool customized = isCustomized();
    customizedMark_->setVisible(customized);
    resetButton_->setVisible(customized);
}

QString PresetBuiltInRow::editorText() const {
    const auto active = state_.overrideStore().activeOverride(preset_);
    if (active && active->customInstructions) {
        return QString::fromStdString(*active->customInstructions);
    }
    return QString::fromStdString(MetaPrompt::forPreset(preset_));
}

bool PresetBuiltInRow::isCustomized() const {
    const auto active = state_.overrideStore().activeOverride(preset_);
    return active && (active->customInstructions || active->imageStructure);
}

void PresetBuiltInRow::resetOverrides() {
    auto overrides = state_.overrideStore().loadAll();
    const std::string raw(rawValue(preset_));
    std::erase_if(overrides,
                  [&](const PresetOverride& item) { return item.presetRawValue == raw; });
    state_.overrideStore().saveAll(overrides);
}

} // namespace quorvane
