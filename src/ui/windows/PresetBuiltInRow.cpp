#include "ui/windows/PresetBuiltInRow.h"

#include "engine/MetaPrompt.h"
#include "state/AppState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/PushButtonSize.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/windows/PresetTextEditor.h"
#include "ui/windows/SettingsRow.h"

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

using Metrics = DesignMetrics::PresetRow;

constexpr qreal editorOpacity = 0.8;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* smallButton(const QString& text) {
    auto* button = new QPushButton(text);
    PushButtonSize::apply(*button, ControlSize::small);
    button->setFont(DesignFonts::caption());
    return button;
}

} // namespace

PresetBuiltInRow::PresetBuiltInRow(AppState& state, Preset preset, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , preset_(preset) {
    auto* layout = new QVBoxLayout(this);
    // Inset as the form's other rows are, so nothing touches the card's edges.
    layout->setContentsMargins(SettingsRow::leadingInset, 4, SettingsRow::leadingInset, 4);
    layout->setSpacing(7);
    layout->addWidget(buildHeader());

    editor_ = new PresetTextEditor(Metrics::builtInEditorHeight);
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
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(8);

    // A glyph in the secondary text colour, so that it follows the window's scheme.
    auto* symbol = new QLabel(Symbols::glyph(symbolName(preset_)));
    symbol->setFont(Symbols::font(Metrics::symbolSize));
    symbol->setForegroundRole(QPalette::PlaceholderText);
    auto* name = new QLabel(toQString(label(preset_)));
    name->setFont(DesignFonts::system(12, QFont::Medium));

    customizedMark_ = new QWidget;
    auto* markLayout = new QHBoxLayout(customizedMark_);
    markLayout->setContentsMargins(0, 0, 0, 0);
    markLayout->setSpacing(3);
    markIcon_ = new QLabel(Symbols::glyph("pencil.circle"));
    markIcon_->setFont(Symbols::font(Metrics::markSymbolSize));
    markText_ = new QLabel(QStringLiteral("Customized"));
    markText_->setFont(DesignFonts::caption());
    markLayout->addWidget(markIcon_);
    markLayout->addWidget(markText_);
    customizedMark_->setAccessibleName(QStringLiteral("Customized"));
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
    const QColor orange = DesignColors::orangeText(ColorScheme::of(this));
    for (QLabel* label : {markIcon_, markText_}) {
        WidgetPalette::setForeground(*label, orange);
    }
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
