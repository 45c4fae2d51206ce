#include "ui/panel/PopoverView.h"

#include "ui/kit/ApplicationTheme.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/DesignSprings.h"
#include "ui/kit/ErrorBanner.h"
#include "ui/kit/ReduceMotion.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/SpringAnimation.h"
#include "ui/kit/Surface.h"
#include "ui/kit/VisualEffectView.h"
#include "ui/panel/ActionBar.h"
#include "ui/panel/AdvancedOptionsPanel.h"
#include "ui/panel/EditorCard.h"
#include "ui/panel/HistoryView.h"
#include "ui/panel/PanelFooter.h"
#include "ui/panel/PanelHeader.h"
#include "ui/panel/QuestionsCard.h"
#include "ui/panel/VariationsPicker.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace quorvane {

PopoverView::PopoverView(AppState& state, std::function<void()> onClose,
                         std::function<void(double)> onHeightChanged, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , onClose_(std::move(onClose))
    , onHeightChanged_(std::move(onHeightChanged))
    , refresher_(state, *this, [this] { refreshNow(); }) {
    setFixedWidth(width);
    // Reached by Tab, never by a click on the panel's ground, which would take the keyboard from
    // the editor.
    setFocusPolicy(Qt::TabFocus);
    buildLayout();
    buildShortcuts();
    lastOutputText_ = state_.outputText();
    takeNewHistoryEntry();
    refreshNow();
}

PopoverView::~PopoverView() {
    refresher_.stop();
    // The sections still report focus changes while they go; they go while this view is whole.
    delete mainPage_;
    delete history_;
}

void PopoverView::regenerate() {
    adoptShownResultAsDraft();
    state_.startEnhance();
}

void PopoverView::generateVariations() {
    adoptShownResultAsDraft();
    state_.startGenerateVariations(AppState::panelVariationCount);
}

// A blank result, one the user erased, is nothing to start from; the buttons
// were enabled by the draft, so the draft stays and is what gets sent.
void PopoverView::adoptShownResultAsDraft() {
    if (state_.fieldMode() == FieldMode::result && state_.hasOutput()) {
        state_.setInputText(state_.outputText());
    }
}

void PopoverView::primaryAction() {
    if (!state_.pendingQuestions().empty()) {
        state_.startSubmitAnswers();
        return;
    }
    if (state_.fieldMode() == FieldMode::result && state_.hasOutput()) {
        state_.copyOutput();
        requestClose();
        return;
    }
    regenerate();
}

bool PopoverView::isPrimaryEnabled() const {
    if (state_.fieldMode() == FieldMode::result && state_.hasOutput()) {
        return true;
    }
    if (state_.pendingQuestions().empty()) {
        return state_.canEnhance();
    }
    return !state_.isEnhancing();
}

void PopoverView::showDraft() {
    state_.setFieldMode(FieldMode::draft);
}

void PopoverView::showResult() {
    state_.setFieldMode(FieldMode::result);
}

void PopoverView::toggleHistoryShortcut() {
    state_.setShowHistory(!state_.showHistory());
}

void PopoverView::regenerateIfResult() {
    if (state_.fieldMode() == FieldMode::result && state_.hasOutput() && !state_.isEnhancing()) {
        regenerate();
    }
}

void PopoverView::requestClose() {
    if (onClose_) {
        onClose_();
    }
}

void PopoverView::setInputFocused(bool value) {
    if (inputFocused_ == value) {
        return;
    }
    inputFocused_ = value;
    emit focusFlagsChanged();
}

void PopoverView::setOutputFocused(bool value) {
    if (outputFocused_ == value) {
        return;
    }
    outputFocused_ = value;
    emit focusFlagsChanged();
}

void PopoverView::refreshNow() {
    refreshRoot();
    emit refreshed();
    reportHeightIfChanged();
}

bool PopoverView::hasAuxiliaryPanel() const {
    return state_.showAdvanced() || !state_.pendingQuestions().empty() ||
           !state_.variations().empty();
}

int PopoverView::editorTargetHeight() const {
    return hasAuxiliaryPanel() ? 190 : 280;
}

int PopoverView::contentHeight() const {
    return layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                         : layout()->totalSizeHint().height();
}

namespace {

using Metrics = DesignMetrics::Panel;

// A column with the given padding on all edges and spacing between its items.
QVBoxLayout* column(QWidget* owner, int padding, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(spacing);
    return layout;
}

// A card's content padded by 16 inside the floating surface of the main column.
Surface* surfaceAround(QWidget* content, QWidget* parent) {
    auto* surface =
        new Surface(DesignMetrics::Surface::cornerRadius, DesignMetrics::Surface::shadowRadius,
                    DesignMetrics::Surface::shadowY, parent);
    auto* padded = new QWidget(surface);
    column(padded, DesignMetrics::Surface::contentPadding, 0)->addWidget(content);
    surface->setContent(padded);
    surface->setVisible(false);
    return surface;
}

} // namespace

void PopoverView::buildLayout() {
    auto* root = column(this, 0, 0);

    mainPage_ = new QWidget(this);
    auto* page = column(mainPage_, Metrics::padding, Metrics::pageSpacing);
    auto* headerRow = new QHBoxLayout();
    headerRow->setSpacing(Metrics::headerSpacing);
    headerRow->addWidget(new PanelHeader(*this, mainPage_));
    page->addLayout(headerRow);

    mainColumn_ = new QVBoxLayout();
    mainColumn_->setSpacing(Metrics::columnSpacing);

    editor_ = new EditorCard(*this, mainPage_);
    editor_->setObjectName("editorCard");
    editorHeight_ = editorTargetHeight();
    editor_->setFixedHeight(editorHeight_);
    mainColumn_->addWidget(editor_);
    editorSpring_ = new SpringAnimation(DesignSprings::expand, this);
    connect(editorSpring_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { editor_->setFixedHeight(qRound(value.toReal())); });

    auto* actions = new QVBoxLayout();
    actions->setSpacing(Metrics::actionsSpacing);
    actions->addWidget(new ActionBar(*this, mainPage_));
    advanced_ = new AdvancedOptionsPanel(*this, mainPage_);
    advanced_->setObjectName("advancedOptions");
    actions->addWidget(advanced_);
    mainColumn_->addLayout(actions);

    questions_ = surfaceAround(new QuestionsCard(*this), mainPage_);
    questions_->setObjectName("questionsSurface");
    mainColumn_->addWidget(questions_);
    variations_ = surfaceAround(new VariationsPicker(*this), mainPage_);
    variations_->setObjectName("variationsSurface");
    mainColumn_->addWidget(variations_);
    page->addLayout(mainColumn_);

    auto* footerRow = new QHBoxLayout();
    footerRow->setSpacing(Metrics::footerSpacing);
    footerRow->addWidget(new PanelFooter(*this, mainPage_));
    page->addLayout(footerRow);
    root->addWidget(mainPage_);
}

// The banner and the history list are made when first needed: most panels open without an error
// and close without the history, and their widgets are a good part of the first frame's wait.
ErrorBanner& PopoverView::banner() {
    if (banner_ == nullptr) {
        banner_ = new ErrorBanner(
            "", false, [this] { state_.openSettings(); }, mainPage_);
        banner_->setVisible(false);
        mainColumn_->insertWidget(0, banner_);
    }
    return *banner_;
}

QWidget& PopoverView::history() {
    if (history_ == nullptr) {
        history_ = new HistoryView(state_, this);
        history_->setObjectName("historyView");
        history_->setVisible(false);
        layout()->addWidget(history_);
    }
    return *history_;
}

void PopoverView::buildShortcuts() {
    const std::array<std::function<void()>, 6> actions{
        [this] { primaryAction(); },
        [this] { regenerateIfResult(); },
        [this] { showDraft(); },
        [this] { state_.clear(); },
        [this] { toggleHistoryShortcut(); },
        [this] { state_.openSettings(); },
    };
    const std::array<const char*, 6> names{"enhanceShortcut",     "regenerateShortcut",
                                           "backToDraftShortcut", "clearShortcut",
                                           "historyShortcut",     "settingsShortcut"};
    for (std::size_t index = 0; index < shortcuts_.size(); ++index) {
        auto* shortcut = new QShortcut(this);
        shortcut->setObjectName(names[index]);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, actions[index]);
        shortcuts_[index] = shortcut;
    }
}

void PopoverView::refreshRoot() {
    // The panel's own look, also when no panel window hosts the view.
    ApplicationTheme::apply(*this, ApplicationTheme::panelScheme(state_.appearance()));
    const bool showHistory = state_.showHistory();
    const bool historyShown = history_ != nullptr && history_->isVisibleTo(this);
    if (historyShown != showHistory) {
        mainPage_->setVisible(!showHistory);
        history().setVisible(showHistory);
        fadeIn(showHistory ? history_ : mainPage_);
        // The main column comes back as it first came, with the editor taking the keyboard:
        // typing after Done or a restore goes on in the editor, not into the panel.
        if (!showHistory && editor_->editor() != nullptr) {
            editor_->editor()->setFocus(Qt::OtherFocusReason);
        }
    }
    // A result that replaces a kept one leaves hasOutput() true throughout, yet it is
    // as new as the first; in the draft only a request or a restore changes the result.
    // A request may also bring back the very text that is kept: it is still a finished request,
    // and every finished request enters the history.
    const bool resultArrived = takeNewHistoryEntry();
    if (state_.outputText() != lastOutputText_ || resultArrived) {
        lastOutputText_ = state_.outputText();
        if (state_.hasOutput()) {
            showResult();
        }
    }
    refreshBanner();
    refreshEditorHeight();
    refreshCards();
    refreshShortcuts();
    update();
}

bool PopoverView::takeNewHistoryEntry() {
    const auto& history = state_.history();
    const bool arrived = !history.empty() && std::find(knownHistory_.begin(), knownHistory_.end(),
                                                       history.front().id) == knownHistory_.end();
    knownHistory_.clear();
    for (const auto& item : history) {
        knownHistory_.push_back(item.id);
    }
    return arrived;
}

void PopoverView::refreshBanner() {
    const auto& message = state_.errorMessage();
    if (!message) {
        if (banner_ != nullptr) {
            banner_->setVisible(false);
        }
        return;
    }
    ErrorBanner& shown = banner();
    if (shown.message() != QString::fromStdString(*message)) {
        shown.setMessage(*message);
    }
    shown.setSuggestsSettings(state_.lastErrorSuggestsSettings());
    shown.setVisible(true);
}

void PopoverView::refreshEditorHeight() {
    const int target = editorTargetHeight();
    if (target == editorHeight_) {
        return;
    }
    const qreal from = editor_->height() > 0 ? editor_->height() : editorHeight_;
    editorHeight_ = target;
    if (!isVisible()) {
        editorSpring_->stop();
        editor_->setFixedHeight(target);
        return;
    }
    editorSpring_->animate(from, target);
}

void PopoverView::refreshCards() {
    if (advanced_) {
        advanced_->setVisible(state_.showAdvanced());
    }
    const auto show = [](QWidget* card, bool visible) {
        if (card->isVisibleTo(card->parentWidget()) == visible) {
            return;
        }
        card->setVisible(visible);
        if (visible) {
            fadeIn(card);
        }
    };
    show(questions_, !state_.pendingQuestions().empty());
    show(variations_, !state_.variations().empty());
}

void PopoverView::refreshShortcuts() {
    const AppShortcuts& entries = state_.appShortcuts().shortcuts();
    const std::array<const HotkeyConfig*, 6> configs{&entries.enhance,     &entries.regenerate,
                                                     &entries.backToDraft, &entries.clear,
                                                     &entries.history,     &entries.settings};
    const bool resultShown = state_.fieldMode() == FieldMode::result;
    const std::array<bool, 6> enabled{
        isPrimaryEnabled(),
        resultShown && state_.hasOutput() && !state_.isEnhancing(),
        resultShown,
        true,
        true,
        true,
    };
    for (std::size_t index = 0; index < shortcuts_.size(); ++index) {
        const QKeySequence sequence = ShortcutKeySequence::of(*configs[index]);
        if (shortcuts_[index]->key() != sequence) {
            shortcuts_[index]->setKey(sequence);
        }
        shortcuts_[index]->setEnabled(enabled[index]);
    }
}

void PopoverView::reportHeightIfChanged() {
    if (!onHeightChanged_) {
        return;
    }
    const int height = contentHeight();
    if (reportedHeight_ == height) {
        return;
    }
    reportedHeight_ = height;
    onHeightChanged_(height);
}

void PopoverView::fadeIn(QWidget* widget) {
    if (!widget->isVisible() || ReduceMotion::enabled()) {
        return;
    }
    auto* effect = new QGraphicsOpacityEffect(widget);
    widget->setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", widget);
    fade->setDuration(220);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    // The effect costs a render pass per frame; drop it once the fade is done.
    connect(fade, &QPropertyAnimation::finished, widget,
            [widget] { widget->setGraphicsEffect(nullptr); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void PopoverView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = rect();
    const auto scheme = ColorScheme::of(this);
    const bool dark = state_.appearance() == Appearance::dark;
    ShapePainter::fillRoundedRect(
        painter, shape, cornerRadius,
        VisualEffectView::fill(VisualEffectView::Material::popover, scheme));
    ShapePainter::strokeRoundedRectInside(
        painter, shape, cornerRadius,
        DesignColors::withOpacity(DesignColors::white(), dark ? 0.1 : 0.35), 1);
    QLinearGradient sheen(shape.topLeft(), shape.bottomLeft());
    sheen.setColorAt(0, DesignColors::withOpacity(DesignColors::white(), dark ? 0.06 : 0.25));
    sheen.setColorAt(1, DesignColors::clear());
    ShapePainter::strokeRoundedRectInside(painter, shape, cornerRadius, sheen, 2);
}

void PopoverView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        requestClose();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool PopoverView::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::LayoutRequest) {
        reportHeightIfChanged();
    }
    return handled;
}

} // namespace quorvane
