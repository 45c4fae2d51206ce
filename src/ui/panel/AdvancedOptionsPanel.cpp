#include "ui/panel/AdvancedOptionsPanel.h"

#include "engine/EnumTraits.h"
#include "engine/Length.h"
#include "engine/Tone.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Divider.h"
#include "ui/panel/OptionLabel.h"
#include "ui/panel/PopoverView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <string>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::AdvancedOptions;

template <typename Enum>
QComboBox* picker(const char* objectName, const QString& accessibleName, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(objectName));
    combo->setAccessibleName(accessibleName);
    for (const Enum value : allCases<Enum>()) {
        combo->addItem(AdvancedOptionsPanel::choiceTitle(rawValue(value)));
    }
    return combo;
}

template <typename Enum>
int indexOf(Enum value) {
    const auto cases = allCases<Enum>();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (cases[i] == value) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

template <typename Enum>
Enum caseAt(int index) {
    const auto cases = allCases<Enum>();
    if (index < 0 || static_cast<std::size_t>(index) >= cases.size()) {
        return cases.front();
    }
    return cases[static_cast<std::size_t>(index)];
}

QWidget* divider(QWidget* parent) {
    auto* line = new Divider(Qt::Vertical, parent);
    line->setFixedHeight(Metrics::dividerHeight);
    return line;
}

} // namespace

QString AdvancedOptionsPanel::choiceTitle(std::string_view rawValue) {
    QString title = QString::fromUtf8(rawValue.data(), static_cast<qsizetype>(rawValue.size()));
    bool wordStart = true;
    for (QChar& character : title) {
        if (character.isSpace()) {
            wordStart = true;
            continue;
        }
        if (wordStart) {
            character = character.toUpper();
        }
        wordStart = false;
    }
    return title;
}

AdvancedOptionsPanel::AdvancedOptionsPanel(PopoverView& panel, QWidget* parent)
    : Surface(DesignMetrics::Surface::cornerRadius, DesignMetrics::Surface::shadowRadius,
              DesignMetrics::Surface::shadowY, parent)
    , panel_(panel)
    , tone_(picker<Tone>("tonePicker", QStringLiteral("Tone"), this))
    , length_(picker<Length>("lengthPicker", QStringLiteral("Length"), this))
    , audience_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("advancedOptions"));
    audience_->setObjectName(QStringLiteral("audienceField"));
    audience_->setAccessibleName(QStringLiteral("Audience"));
    audience_->setPlaceholderText(QStringLiteral("General"));
    audience_->setFont(DesignFonts::callout());

    setContent(buildOptions());

    connect(tone_, &QComboBox::currentIndexChanged, this,
            [this](int index) { panel_.state().setTone(caseAt<Tone>(index)); });
    connect(length_, &QComboBox::currentIndexChanged, this,
            [this](int index) { panel_.state().setLength(caseAt<Length>(index)); });
    connect(audience_, &QLineEdit::textEdited, this,
            [this](const QString& text) { panel_.state().setAudience(text.toStdString()); });

    connect(&panel_, &PopoverView::refreshed, this, &AdvancedOptionsPanel::refresh);
    refresh();
}

QWidget* AdvancedOptionsPanel::buildOptions() {
    auto* content = new QWidget(this);
    auto* stack = new QVBoxLayout(content);
    constexpr int padding = DesignMetrics::Surface::contentPadding;
    stack->setContentsMargins(padding, padding + Metrics::topPadding, padding, padding);
    stack->setSpacing(0);
    auto* row = new QHBoxLayout();
    row->setSpacing(Metrics::columnSpacing);
    headings_ = {new OptionLabel("face.smiling", QStringLiteral("Tone"), content),
                 new OptionLabel("list.bullet", QStringLiteral("Length"), content),
                 new OptionLabel("person.2", QStringLiteral("Audience"), content)};
    row->addWidget(column(headings_[0], tone_), 1, Qt::AlignTop);
    row->addWidget(divider(content), 0, Qt::AlignTop);
    row->addWidget(column(headings_[1], length_), 1, Qt::AlignTop);
    row->addWidget(divider(content), 0, Qt::AlignTop);
    row->addWidget(column(headings_[2], audience_), 1, Qt::AlignTop);
    stack->addLayout(row);
    return content;
}

QWidget* AdvancedOptionsPanel::column(OptionLabel* heading, QWidget* control) {
    auto* widget = new QWidget(heading->parentWidget());
    auto* stack = new QVBoxLayout(widget);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(Metrics::headingSpacing);
    heading->setParent(widget);
    control->setParent(widget);
    stack->addWidget(heading);
    stack->addWidget(control);
    return widget;
}

void AdvancedOptionsPanel::refresh() {
    const AppState& state = panel_.state();
    if (isHidden() == state.showAdvanced()) {
        setVisible(state.showAdvanced());
    }
    if (!state.showAdvanced()) {
        return;
    }
    {
        const QSignalBlocker blockTone(tone_);
        const QSignalBlocker blockLength(length_);
        tone_->setCurrentIndex(indexOf(state.tone()));
        length_->setCurrentIndex(indexOf(state.length()));
    }
    const QString audience = QString::fromStdString(state.audience());
    if (audience_->text() != audience) {
        audience_->setText(audience);
    }
    for (OptionLabel* heading : headings_) {
        heading->applyColors();
    }
}

} // namespace quorvane
