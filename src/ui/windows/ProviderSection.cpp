#include "ui/windows/ProviderSection.h"

#include "engine/ModelIdentifier.h"
#include "engine/ProviderConfig.h"
#include "state/AppState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/windows/FormComboBox.h"
#include "ui/windows/SecureKeyField.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::ProviderSection;

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

// A symbol followed by text, as rich text, so one label can show both fonts.
QString symbolAndText(const QString& symbol, const QString& text, const QColor& color,
                      qreal symbolSize) {
    const QString glyph = Symbols::glyph(symbol.toStdString());
    return QStringLiteral("<span style=\"color:%1\"><span style=\"font-family:'%2'; "
                          "font-size:%3px\">%4</span>&nbsp;%5</span>")
        .arg(color.name(QColor::HexArgb), Symbols::fontFamily())
        .arg(symbolSize)
        .arg(glyph, text.toHtmlEscaped());
}

// The badge's tint (its capsule's fill) and the deeper shade of it that its words are in.
std::pair<QColor, QColor> badgeColors(const QString& symbol, ColorScheme::Scheme scheme) {
    if (symbol == QLatin1String("desktopcomputer")) {
        return {DesignColors::blue(scheme), DesignColors::blueText(scheme)};
    }
    if (symbol == QLatin1String("exclamationmark.triangle.fill")) {
        return {DesignColors::orange(scheme), DesignColors::orangeText(scheme)};
    }
    return {DesignColors::green(scheme), DesignColors::greenText(scheme)};
}

} // namespace

ProviderSection::ProviderSection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(tr("Backend"), this))
    , badge_(new QLabel(this))
    , providerPicker_(new FormComboBox(this))
    , baseUrlField_(new QLineEdit(this))
    , baseUrlRow_(new SettingsRow(QStringLiteral("link"), tr("Base URL"), baseUrlField_))
    , modelPicker_(new FormComboBox(this))
    , modelField_(new QLineEdit(this))
    , refreshButton_(new QToolButton(this))
    , fetchIndicator_(new QProgressBar(this))
    , keyBlock_(nullptr)
    , ollamaNote_(nullptr)
    , onDeviceNote_(nullptr) {
    badge_->setTextFormat(Qt::RichText);
    badge_->setFont(DesignFonts::system(10, QFont::Medium));
    badge_->setContentsMargins(8, 3, 8, 3);
    group_->setHeaderAccessory(badge_);

    for (const auto& config : ProviderConfig::all()) {
        providerPicker_->addItem(toQString(config.displayName), static_cast<int>(config.id));
    }
    providerPicker_->setAccessibleName(tr("Provider"));
    connect(providerPicker_, &QComboBox::activated, this, [this](int index) {
        state_.setProviderID(static_cast<ProviderID>(providerPicker_->itemData(index).toInt()));
    });
    group_->addRow(new SettingsRow(QStringLiteral("server.rack"), tr("Provider"), providerPicker_));

    baseUrlField_->setPlaceholderText(QStringLiteral("https://api.example.com/v1"));
    baseUrlField_->setMinimumWidth(260);
    baseUrlField_->setAccessibleName(tr("Base URL"));
    connect(baseUrlField_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.setCustomBaseURL(text.toStdString()); });
    group_->addRow(baseUrlRow_);

    group_->addRow(new SettingsRow(QStringLiteral("cube"), tr("Model"), buildModelControl()));

    keyBlock_ = buildKeyBlock();
    group_->addRow(keyBlock_);
    ollamaNote_ =
        buildNote(QStringLiteral("desktopcomputer"),
                  tr("Local server, no key. Start Ollama, then Refresh to list installed models."));
    group_->addRow(ollamaNote_);
    onDeviceNote_ = buildNote(QStringLiteral("checkmark.seal"),
                              tr("On-device, free, offline. Needs macOS 26 + Apple Silicon."));
    group_->addRow(onDeviceNote_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    refresh();
}

QWidget* ProviderSection::buildModelControl() {
    auto* control = new QWidget(this);
    auto* layout = new QHBoxLayout(control);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    modelPicker_->setAccessibleName(tr("Model"));
    modelPicker_->setMinimumWidth(200);
    connect(modelPicker_, &QComboBox::activated, this,
            [this](int index) { state_.setModel(modelPicker_->itemText(index).toStdString()); });
    modelField_->setPlaceholderText(tr("model-id"));
    modelField_->setAccessibleName(tr("Model"));
    modelField_->setMinimumWidth(200);
    connect(modelField_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.setModel(text.toStdString()); });

    refreshButton_->setAutoRaise(true);
    refreshButton_->setAccessibleName(tr("Refresh model list"));
    connect(refreshButton_, &QToolButton::clicked, this, &ProviderSection::refreshModels);
    fetchIndicator_->setRange(0, 0);
    fetchIndicator_->setTextVisible(false);
    fetchIndicator_->setFixedSize(16, 16);
    fetchIndicator_->setAccessibleName(tr("Fetching models"));

    layout->addWidget(modelPicker_);
    layout->addWidget(modelField_);
    layout->addWidget(refreshButton_);
    layout->addWidget(fetchIndicator_);
    return control;
}

QWidget* ProviderSection::buildKeyBlock() {
    auto* block = new QWidget(this);
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(4);

    auto* control = new QWidget(block);
    auto* controlLayout = new QHBoxLayout(control);
    controlLayout->setContentsMargins(0, 0, 0, 0);
    controlLayout->setSpacing(6);
    keyField_ = new SecureKeyField(control);
    keyField_->setMinimumWidth(220);
    keyField_->lineEdit()->setAccessibleName(tr("API key"));
    connect(keyField_, &SecureKeyField::textEdited, this, &ProviderSection::saveKeyDraft);
    keyStatus_ = new QLabel(control);
    keyStatus_->setFont(Symbols::font(Metrics::rowSymbolSize));
    controlLayout->addWidget(keyField_);
    controlLayout->addWidget(keyStatus_);
    layout->addWidget(new SettingsRow(QStringLiteral("key"), tr("API key"), control, block));

    keyExplanation_ = new QLabel(block);
    keyExplanation_->setWordWrap(true);
    keyExplanation_->setFont(DesignFonts::caption());
    keyExplanation_->setForegroundRole(QPalette::PlaceholderText);
    keyExplanation_->setContentsMargins(10, 0, 10, 0);
    layout->addWidget(keyExplanation_);

    keyPageLink_ = new QPushButton(tr("Get an API key"), block);
    keyPageLink_->setFlat(true);
    keyPageLink_->setCursor(Qt::PointingHandCursor);
    keyPageLink_->setFont(DesignFonts::caption());
    keyPageLink_->setToolTip(tr("Open the provider's page for creating API keys"));
    connect(keyPageLink_, &QPushButton::clicked, this, &ProviderSection::openKeyPage);
    layout->addWidget(keyPageLink_, 0, Qt::AlignLeft);
    return block;
}

SettingsRow* ProviderSection::buildNote(const QString& symbol, const QString& text) {
    auto* note = new SettingsRow(symbol, text, nullptr, this);
    note->label()->setFont(DesignFonts::callout());
    note->label()->setWordWrap(true);
    note->label()->setForegroundRole(QPalette::PlaceholderText);
    note->symbolLabel()->setForegroundRole(QPalette::PlaceholderText);
    return note;
}

QString ProviderSection::environmentVariableName(ProviderID id) {
    // The custom provider also falls back to OPENAI_API_KEY, but its own
    // variable is the one to recommend.
    if (id == ProviderID::custom) {
        return QStringLiteral("THRIM_CUSTOM_API_KEY");
    }
    const auto& names = environmentVariableNames(id);
    return names.empty() ? tr("the environment") : toQString(names.front());
}

QString ProviderSection::keyPageUrl(ProviderID id) {
    switch (id) {
    case ProviderID::anthropic:
        return QStringLiteral("https://console.anthropic.com/settings/keys");
    case ProviderID::openAI:
        return QStringLiteral("https://platform.openai.com/api-keys");
    case ProviderID::openRouter:
        return QStringLiteral("https://openrouter.ai/keys");
    case ProviderID::groq:
        return QStringLiteral("https://console.groq.com/keys");
    case ProviderID::appleFoundation:
    case ProviderID::ollama:
    case ProviderID::custom:
        break;
    }
    return {};
}

bool ProviderSection::environmentActive() const {
    return keyDraft_.isEmpty() && state_.keySource(state_.providerID()) == KeySource::environment;
}

void ProviderSection::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadKeyDraft();
}

void ProviderSection::loadKeyDraft() {
    const ProviderID id = state_.providerID();
    loadedProvider_ = id;
    const auto stored = state_.keyStore().key(id);
    keyDraft_ = stored ? toQString(*stored) : QString();
    keyField_->setText(keyDraft_);
    refresh();
    autoFetchModelsIfNeeded();
}

void ProviderSection::autoFetchModelsIfNeeded() {
    const ProviderID id = state_.providerID();
    if (id == ProviderID::appleFoundation || state_.fetchedModels().contains(id)) {
        return;
    }
    // A key that only the environment supplies does not start a fetch.
    if (ProviderConfig::config(id).requiresAPIKey && keyDraft_.isEmpty()) {
        return;
    }
    state_.fetchModels();
}

void ProviderSection::refreshModels() {
    state_.fetchModels();
}

void ProviderSection::saveKeyDraft(const QString& text) {
    keyDraft_ = text;
    // A failed write is not reported; the badge shows what the store holds.
    state_.keyStore().setKey(text.toStdString(), state_.providerID());
    state_.sendObjectWillChange();
}

void ProviderSection::refresh() {
    // A provider switched while the window was open brings its own key.
    if (loadedProvider_ && *loadedProvider_ != state_.providerID()) {
        loadKeyDraft();
        return;
    }
    const ProviderID id = state_.providerID();
    providerPicker_->setCurrentIndex(providerPicker_->findData(static_cast<int>(id)));
    baseUrlRow_->setVisible(id == ProviderID::custom);
    const QString baseUrl = toQString(state_.customBaseURL());
    if (baseUrlField_->text() != baseUrl) {
        baseUrlField_->setText(baseUrl);
    }
    const bool requiresKey = ProviderConfig::config(id).requiresAPIKey;
    keyBlock_->setVisible(requiresKey);
    ollamaNote_->setVisible(!requiresKey && id == ProviderID::ollama);
    onDeviceNote_->setVisible(!requiresKey && id == ProviderID::appleFoundation);
    refreshBadge();
    refreshModelRow();
    refreshKeyBlock();
    refreshFooter();
}

void ProviderSection::refreshBadge() {
    const ProviderID id = state_.providerID();
    if (id == ProviderID::ollama) {
        badgeText_ = tr("Local server");
        badgeSymbol_ = QStringLiteral("desktopcomputer");
    } else if (id == ProviderID::appleFoundation) {
        badgeText_ = tr("On-device");
        badgeSymbol_ = QStringLiteral("checkmark.seal.fill");
    } else {
        switch (state_.keySource(id)) {
        case KeySource::stored:
            badgeText_ = tr("Key saved");
            badgeSymbol_ = QStringLiteral("checkmark.circle.fill");
            break;
        case KeySource::environment:
            badgeText_ = environmentVariableName(id);
            badgeSymbol_ = QStringLiteral("terminal.fill");
            break;
        case KeySource::none:
            badgeText_ = tr("No key");
            badgeSymbol_ = QStringLiteral("exclamationmark.triangle.fill");
            break;
        }
    }
    const auto [tint, text] = badgeColors(badgeSymbol_, ColorScheme::of(this));
    badge_->setText(symbolAndText(badgeSymbol_, badgeText_, text, Metrics::badgeSymbolSize));
    badge_->setAccessibleName(badgeText_);
    badge_->setStyleSheet(QStringLiteral("QLabel { background: %1; border-radius: 9px; }")
                              .arg(DesignColors::withOpacity(tint, 0.16).name(QColor::HexArgb)));
}

void ProviderSection::refreshModelRow() {
    const ProviderID id = state_.providerID();
    const auto models = state_.availableModels();
    const QString model = toQString(state_.model());
    modelPicker_->setVisible(!models.empty());
    modelField_->setVisible(models.empty());
    QStringList items;
    for (const auto& name : models) {
        items << toQString(name);
    }
    QStringList shown;
    for (int index = 0; index < modelPicker_->count(); ++index) {
        shown << modelPicker_->itemText(index);
    }
    if (shown != items) {
        modelPicker_->clear();
        modelPicker_->addItems(items);
    }
    // Only the selection follows the list ("llama3.2" is listed as "llama3.2:latest"): the
    // model keeps the spelling it is stored under.
    const auto listed = ModelIdentifier::listedIndex(state_.model(), models);
    modelPicker_->setCurrentIndex(listed ? static_cast<int>(*listed) : -1);
    if (modelField_->text() != model) {
        modelField_->setText(model);
    }

    const bool fetching = state_.isFetchingModels();
    refreshButton_->setIcon(Symbols::icon("arrow.clockwise", Metrics::rowSymbolSize,
                                          DesignColors::primary(ColorScheme::of(this))));
    refreshButton_->setVisible(!fetching);
    fetchIndicator_->setVisible(fetching);
    refreshButton_->setEnabled(id != ProviderID::appleFoundation && !fetching);
    refreshButton_->setToolTip(tr("Fetch model list from ") +
                               toQString(ProviderConfig::config(id).displayName));
}

void ProviderSection::refreshKeyBlock() {
    const ProviderID id = state_.providerID();
    const auto scheme = ColorScheme::of(this);
    const bool fromEnvironment = environmentActive();
    const QString name = toQString(ProviderConfig::config(id).displayName);
    const QString variable = environmentVariableName(id);

    keyField_->setPlaceholderText(fromEnvironment ? tr("set in environment")
                                                  : QStringLiteral("sk-…"));
    if (!keyDraft_.isEmpty()) {
        keyStatusSymbol_ = QStringLiteral("checkmark.circle.fill");
    } else if (fromEnvironment) {
        keyStatusSymbol_ = QStringLiteral("terminal");
    } else {
        keyStatusSymbol_ = QStringLiteral("key.slash");
    }
    const bool good = !keyDraft_.isEmpty() || fromEnvironment;
    keyStatus_->setText(Symbols::glyph(keyStatusSymbol_.toStdString()));
    WidgetPalette::setForeground(*keyStatus_, good ? DesignColors::green(scheme)
                                                   : DesignColors::secondary(scheme));

    keyExplanation_->setText(
        fromEnvironment
            ? tr("Using ") + variable +
                  tr(" from your shell environment. Type a key here to override it (saved "
                     "locally).")
            : tr("Saved to a private, encrypted file in your home folder — no keyring, no "
                 "password prompt. Sent only to ") +
                  name + tr(" when you enhance — never to us. For maximum security, set ") +
                  variable + tr(" instead."));
    keyPageLink_->setVisible(!keyPageUrl(id).isEmpty());
    const QColor link = DesignColors::linkText(scheme);
    keyPageLink_->setIcon(Symbols::icon("arrow.up.right.square", 12, link));
    WidgetPalette::setForeground(*keyPageLink_, link);
}

void ProviderSection::refreshFooter() {
    const ProviderID id = state_.providerID();
    QLabel* footer = group_->footerLabel();
    if (const auto& error = state_.modelFetchError()) {
        footer->setTextFormat(Qt::RichText);
        group_->setFooter(symbolAndText(QStringLiteral("exclamationmark.triangle"),
                                        toQString(*error),
                                        DesignColors::orangeText(ColorScheme::of(this)), 12));
        return;
    }
    footer->setTextFormat(Qt::PlainText);
    const auto models = state_.availableModels();
    if (id == ProviderID::appleFoundation || models.empty()) {
        group_->setFooter({});
        return;
    }
    const QString origin =
        state_.fetchedModels().contains(id) ? tr("fetched live") : tr("built-in list");
    group_->setFooter(QString::number(models.size()) + tr(" models · ") + origin);
}

void ProviderSection::openKeyPage() const {
    const QString url = keyPageUrl(state_.providerID());
    if (!url.isEmpty()) {
        QDesktopServices::openUrl(QUrl(url));
    }
}

} // namespace quorvane
