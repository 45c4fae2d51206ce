#include "OnboardingView.h"

#include "OnboardingIconTile.h"
#include "OnboardingLabel.h"
#include "OnboardingPageHeader.h"
#include "SecureKeyField.h"
#include "ToggleSwitch.h"
#include "engine/ProviderConfig.h"
#include "state/AppState.h"
#include "ui/kit/ApplicationTheme.h"
#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Divider.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/SoftButtonStyle.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/VisualEffectView.h"
#include "ui/kit/WidgetPalette.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFontInfo>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace quorvane {
namespace {

constexpr int pageTransitionMs = 180;

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QString displayName(ProviderID id) {
    return fromStd(ProviderConfig::config(id).displayName);
}

// Spaces and tabs only: a key of a lone line break still counts as typed.
bool isBlank(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); });
}

struct ProviderNote {
    const char* symbol;
    const char* text;
};

ProviderNote providerNote(ProviderID id) {
    switch (id) {
    case ProviderID::appleFoundation:
        return {"checkmark.seal", "On-device, free, offline. Nothing leaves this computer."};
    case ProviderID::ollama:
        return {"desktopcomputer",
                "Local server — no key. Start Ollama, then pick a model in Settings."};
    default:
        return {"key", "Needs an API key — you'll add it next."};
    }
}

QFont semibold(QFont font) {
    font.setWeight(QFont::DemiBold);
    return font;
}

QVBoxLayout* pageLayout(QWidget* page, int spacing) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    // Centred in height only: the texts take the page's width and wrap in it (centred lines on
    // the centred pages), where a horizontal alignment would squeeze them to a narrow column.
    layout->setAlignment(Qt::AlignVCenter);
    return layout;
}

} // namespace

OnboardingView::OnboardingView(AppState& state, std::function<void()> onFinish, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , onFinish_(std::move(onFinish))
    , loadedProvider_(state.providerID())
    , refresher_(state, *this, [this] { refresh(); }) {
    setFixedSize(fixedWidth, fixedHeight);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    background_ = new VisualEffectView(VisualEffectView::Material::popover,
                                       VisualEffectView::BlendingMode::behindWindow, this);
    outer->addWidget(background_);

    auto* column = new QVBoxLayout(background_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pages_ = new QStackedWidget(background_);
    pages_->addWidget(makeWelcomePage());
    pages_->addWidget(makeProviderPage());
    pages_->addWidget(makeKeyPage());
    pages_->addWidget(makeOptionsPage());
    pages_->addWidget(makeDonePage());
    auto* pageFrame = new QWidget(background_);
    auto* pageLayoutBox = new QVBoxLayout(pageFrame);
    constexpr int page = DesignMetrics::Onboarding::pagePadding;
    pageLayoutBox->setContentsMargins(page, page, page, page);
    pageLayoutBox->addWidget(pages_);
    column->addWidget(pageFrame, 1);

    auto* divider = new Divider(Qt::Horizontal, background_);
    divider->setOpacity(0.5);
    column->addWidget(divider);

    column->addWidget(makeFooter());

    if (auto* theme = ApplicationTheme::instance()) {
        connect(theme, &ApplicationTheme::desktopSchemeChanged, this,
                [this] { refresher_.schedule(); });
    }
    refresh();
}

OnboardingView::~OnboardingView() = default;

const std::vector<int>& OnboardingView::stepSequence(ProviderID id) {
    static const std::vector<int> withKey{welcome, provider, apiKey, options, done};
    static const std::vector<int> withoutKey{welcome, provider, options, done};
    return ProviderConfig::config(id).requiresAPIKey ? withKey : withoutKey;
}

std::optional<std::string> OnboardingView::keyPageURL(ProviderID id) {
    switch (id) {
    case ProviderID::anthropic:
        return "https://console.anthropic.com/settings/keys";
    case ProviderID::openAI:
        return "https://platform.openai.com/api-keys";
    case ProviderID::openRouter:
        return "https://openrouter.ai/keys";
    case ProviderID::groq:
        return "https://console.groq.com/keys";
    default:
        return std::nullopt;
    }
}

int OnboardingView::currentIndex() const {
    const auto& sequence = stepSequence(state_.providerID());
    const auto found = std::find(sequence.begin(), sequence.end(), step_);
    return found == sequence.end() ? 0 : int(found - sequence.begin());
}

bool OnboardingView::isLastStep() const {
    return step_ == stepSequence(state_.providerID()).back();
}

bool OnboardingView::isContinueEnabled() const {
    // A key page left over from a provider that needed a key is outside the sequence of one that
    // needs none; it asks for nothing, and Back does nothing there, so Continue must stay open.
    if (step_ != apiKey || !ProviderConfig::config(state_.providerID()).requiresAPIKey) {
        return true;
    }
    return !isBlank(keyDraft_) || state_.keySource(state_.providerID()) != KeySource::none;
}

void OnboardingView::advance() {
    if (isLastStep()) {
        state_.setHasCompletedOnboarding(true);
        if (onFinish_) {
            onFinish_();
        }
        return;
    }
    const auto& sequence = stepSequence(state_.providerID());
    const auto next = std::size_t(currentIndex() + 1);
    if (next < sequence.size()) {
        setStep(sequence[next]);
    }
}

void OnboardingView::goBack() {
    const int previous = currentIndex() - 1;
    if (previous < 0) {
        return;
    }
    setStep(stepSequence(state_.providerID())[std::size_t(previous)]);
}

void OnboardingView::setStep(int step) {
    step_ = step;
    refresh();
    QWidget* page = pages_->currentWidget();
    auto* effect = new QGraphicsOpacityEffect(page);
    page->setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", effect);
    fade->setDuration(pageTransitionMs);
    fade->setEasingCurve(QEasingCurve::InOutQuad);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    connect(fade, &QPropertyAnimation::finished, page,
            [page] { page->setGraphicsEffect(nullptr); });
    fade->start();
}

void OnboardingView::editKeyDraft(const QString& text) {
    keyDraft_ = text;
    // A key that cannot be written is not reported; Continue then goes by the draft alone.
    state_.keyStore().setKey(text.toStdString(), state_.providerID());
    state_.sendObjectWillChange();
    refreshFooter();
}

void OnboardingView::loadKeyDraft() {
    loadedProvider_ = state_.providerID();
    const auto stored = state_.keyStore().key(loadedProvider_);
    keyDraft_ = stored ? fromStd(*stored) : QString();
}

void OnboardingView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        appear();
    }
}

void OnboardingView::appear() {
    // This system has no on-device model, so an unfinished walkthrough starts on a cloud
    // provider that can work once it has a key; the provider page still offers every one.
    if (!state_.hasCompletedOnboarding()) {
        state_.setProviderID(ProviderID::openAI);
    }
    loadKeyDraft();
    refresh();
}

void OnboardingView::launchAtLoginToggled(bool enabled) {
    // The service says what the login item really is, so a refused registration flips back.
    state_.setLaunchAtLogin(state_.launchService().setEnabled(enabled));
    refresh();
}

void OnboardingView::refresh() {
    if (state_.providerID() != loadedProvider_) {
        loadKeyDraft();
    }
    refreshPages();
    refreshFooter();
    applyColors();
}

void OnboardingView::refreshPages() {
    pages_->setCurrentIndex(std::clamp(step_, int(welcome), int(done)));

    const ProviderID id = state_.providerID();
    const QString name = displayName(id);
    {
        const QSignalBlocker blocker(picker_);
        picker_->setCurrentIndex(picker_->findData(int(id)));
    }
    const auto note = providerNote(id);
    providerNote_->setContent(QString::fromUtf8(note.symbol), QString::fromUtf8(note.text));

    keyHeader_->setTitle(QStringLiteral("Add your ") + name + QStringLiteral(" key"));
    if (keyField_->text() != keyDraft_) {
        keyField_->setText(keyDraft_);
    }
    const auto url = keyPageURL(id);
    keyLink_->setVisible(url.has_value());
    keyLink_->setText(QStringLiteral("Get an API key from ") + name);
    keyLink_->setToolTip(url ? fromStd(*url) : QString());
    keyPrivacy_->setContent(QStringLiteral("lock.shield"),
                            QStringLiteral("Your key is sent only to ") + name +
                                QStringLiteral(" when you enhance — never to Quorvane."));

    {
        const QSignalBlocker blocker(launchToggle_);
        launchToggle_->setChecked(state_.launchAtLogin());
    }
    hotkeyLabel_->setText(ShortcutKeySequence::text(state_.hotkey()));
}

void OnboardingView::refreshFooter() {
    const auto& sequence = stepSequence(state_.providerID());
    back_->setVisible(!isFirstStep());
    counter_->setText(QStringLiteral("%1 of %2").arg(currentIndex() + 1).arg(sequence.size()));
    primary_->setText(isLastStep() ? QStringLiteral("Start thriming") : QStringLiteral("Continue"));
    primary_->setEnabled(isContinueEnabled());
}

void OnboardingView::applyColors() {
    ApplicationTheme::apply(*this, ApplicationTheme::windowScheme(state_.appearance()));
    for (QLabel* label : secondaryLabels_) {
        OnboardingLabel::tint(label, true);
    }
    for (QLabel* label : primaryLabels_) {
        OnboardingLabel::tint(label, false);
    }
    for (OnboardingLabel* label : symbolLabels_) {
        label->applyColors();
    }
    for (OnboardingPageHeader* header : headers_) {
        OnboardingLabel::tint(header->titleLabel(), false);
        OnboardingLabel::tint(header->subtitleLabel(), true);
    }
    const auto scheme = ColorScheme::of(this);
    const QColor link = DesignColors::linkText(scheme);
    keyLink_->setIcon(Symbols::icon("arrow.up.right.square",
                                    QFontInfo(DesignFonts::callout()).pixelSize() + 2, link));
    WidgetPalette::setForeground(*keyLink_, link);
}

QLabel* OnboardingView::addText(QVBoxLayout* layout, const QString& text, const QFont& font,
                                bool secondary, bool centred) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(true);
    if (centred) {
        label->setAlignment(Qt::AlignHCenter);
    }
    (secondary ? secondaryLabels_ : primaryLabels_).push_back(label);
    layout->addWidget(label);
    return label;
}

QWidget* OnboardingView::makeWelcomePage() {
    auto* page = new QWidget;
    auto* layout = pageLayout(page, 16);
    layout->addWidget(new OnboardingIconTile, 0, Qt::AlignHCenter);
    addText(layout, QStringLiteral("Welcome to Quorvane"), semibold(DesignFonts::title2()), false,
            true);
    addText(layout,
            QStringLiteral("It lives in your system tray — look for the wand icon. Click it (or "
                           "use the global shortcut) to turn a rough draft into a "
                           "production-quality prompt."),
            DesignFonts::callout(), true, true);
    addText(layout,
            QStringLiteral("Your drafts and keys stay on this computer. Nothing is sent anywhere "
                           "unless you pick a cloud provider."),
            DesignFonts::caption(), true, true);
    return page;
}

QWidget* OnboardingView::makeProviderPage() {
    auto* page = new QWidget;
    auto* layout = pageLayout(page, 14);
    auto* header =
        new OnboardingPageHeader(QStringLiteral("Pick a provider"),
                                 QStringLiteral("You can change this anytime in Settings."));
    headers_.push_back(header);
    layout->addWidget(header);

    auto* pickerRow = new QHBoxLayout;
    auto* pickerTitle = new QLabel(QStringLiteral("Provider"));
    picker_ = new QComboBox;
    picker_->setAccessibleName(QStringLiteral("Provider"));
    for (const ProviderConfig& config : ProviderConfig::all()) {
        picker_->addItem(fromStd(config.displayName), int(config.id));
    }
    pickerTitle->setBuddy(picker_);
    primaryLabels_.push_back(pickerTitle);
    pickerRow->addWidget(pickerTitle);
    pickerRow->addWidget(picker_, 1);
    layout->addLayout(pickerRow);
    connect(picker_, &QComboBox::activated, this, [this](int index) {
        state_.setProviderID(static_cast<ProviderID>(picker_->itemData(index).toInt()));
    });

    providerNote_ = new OnboardingLabel(QString(), QString());
    providerNote_->setFont(DesignFonts::callout());
    providerNote_->setSecondary(true);
    symbolLabels_.push_back(providerNote_);
    layout->addWidget(providerNote_);
    return page;
}

QWidget* OnboardingView::makeKeyPage() {
    auto* page = new QWidget;
    auto* layout = pageLayout(page, 12);
    keyHeader_ = new OnboardingPageHeader(
        QString(),
        QStringLiteral("Stored in a private, encrypted file on this computer — never in a keyring, "
                       "never sent to us."));
    headers_.push_back(keyHeader_);
    layout->addWidget(keyHeader_);

    keyField_ = new SecureKeyField;
    keyField_->setPlaceholderText(QStringLiteral("sk-…"));
    connect(keyField_, &SecureKeyField::textEdited, this, &OnboardingView::editKeyDraft);
    layout->addWidget(keyField_);

    keyLink_ = new QPushButton;
    keyLink_->setFlat(true);
    keyLink_->setFont(DesignFonts::callout());
    keyLink_->setCursor(Qt::PointingHandCursor);
    connect(keyLink_, &QPushButton::clicked, this, [this] {
        if (const auto url = keyPageURL(state_.providerID())) {
            QDesktopServices::openUrl(QUrl(fromStd(*url)));
        }
    });
    layout->addWidget(keyLink_, 0, Qt::AlignLeft);

    keyPrivacy_ = new OnboardingLabel(QString(), QString());
    keyPrivacy_->setFont(DesignFonts::caption());
    keyPrivacy_->setSecondary(true);
    symbolLabels_.push_back(keyPrivacy_);
    layout->addWidget(keyPrivacy_);
    return page;
}

QWidget* OnboardingView::makeOptionsPage() {
    auto* page = new QWidget;
    auto* layout = pageLayout(page, 14);
    auto* header =
        new OnboardingPageHeader(QStringLiteral("A couple of options"),
                                 QStringLiteral("Both optional — tweak later in Settings."));
    headers_.push_back(header);
    layout->addWidget(header);

    auto* launchRow = new QHBoxLayout;
    auto* launchLabel =
        new OnboardingLabel(QStringLiteral("power"), QStringLiteral("Launch at login"));
    symbolLabels_.push_back(launchLabel);
    launchToggle_ = new ToggleSwitch;
    launchToggle_->setAccessibleName(QStringLiteral("Launch at login"));
    connect(launchToggle_, &ToggleSwitch::toggled, this, &OnboardingView::launchAtLoginToggled);
    launchRow->addWidget(launchLabel, 1);
    launchRow->addWidget(launchToggle_);
    layout->addLayout(launchRow);

    auto* shortcutRow = new QHBoxLayout;
    shortcutRow->setSpacing(8);
    auto* shortcutLabel =
        new OnboardingLabel(QStringLiteral("keyboard"), QStringLiteral("Global shortcut"));
    symbolLabels_.push_back(shortcutLabel);
    hotkeyLabel_ = new QLabel;
    hotkeyLabel_->setFont(DesignFonts::monospaced(QFontInfo(DesignFonts::body()).pixelSize()));
    secondaryLabels_.push_back(hotkeyLabel_);
    shortcutRow->addWidget(shortcutLabel);
    shortcutRow->addStretch(1);
    shortcutRow->addWidget(hotkeyLabel_);
    layout->addLayout(shortcutRow);

    addText(
        layout,
        QStringLiteral("Press the shortcut from any app to summon Quorvane. Change the combo in "
                       "Settings."),
        DesignFonts::caption(), true, false);
    return page;
}

QWidget* OnboardingView::makeDonePage() {
    auto* page = new QWidget;
    auto* layout = pageLayout(page, 16);
    layout->addWidget(new OnboardingIconTile, 0, Qt::AlignHCenter);
    addText(layout, QStringLiteral("You're all set"), semibold(DesignFonts::title2()), false, true);
    addText(layout,
            QStringLiteral("Press the global shortcut or click the wand in your system tray to "
                           "thrim your first prompt. Free forever — donations optional."),
            DesignFonts::callout(), true, true);
    return page;
}

QWidget* OnboardingView::makeFooter() {
    auto* footer = new QWidget(background_);
    auto* layout = new QHBoxLayout(footer);
    constexpr int padding = DesignMetrics::Onboarding::footerPadding;
    layout->setContentsMargins(padding, padding, padding, padding);

    back_ = new KitButton(std::make_unique<SoftButtonStyle>(), footer);
    back_->setText(QStringLiteral("Back"));
    connect(back_, &KitButton::clicked, this, &OnboardingView::goBack);

    counter_ = new QLabel(footer);
    counter_->setFont(DesignFonts::caption());
    secondaryLabels_.push_back(counter_);

    primary_ = new KitButton(std::make_unique<AuroraButtonStyle>(), footer);
    connect(primary_, &KitButton::clicked, this, &OnboardingView::advance);

    layout->addWidget(back_);
    layout->addStretch(1);
    layout->addWidget(counter_);
    layout->addStretch(1);
    layout->addWidget(primary_);
    return footer;
}

} // namespace quorvane
