#include "ui/panel/PopoverView.h"

#include <QTimer>

#include <utility>

namespace quorvane {

PopoverView::PopoverView(AppState& state, std::function<void()> onClose,
                         std::function<void(double)> onHeightChanged, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , onClose_(std::move(onClose))
    , onHeightChanged_(std::move(onHeightChanged)) {
    subscription_ = state_.observe([this](AppState::Property) { scheduleRefresh(); });
    refreshNow();
}

PopoverView::~PopoverView() = default;

void PopoverView::regenerate() {
    if (state_.fieldMode() == FieldMode::result) {
        state_.setInputText(state_.outputText());
    }
    state_.startEnhance();
}

void PopoverView::generateVariations() {
    if (state_.fieldMode() == FieldMode::result) {
        state_.setInputText(state_.outputText());
    }
    state_.startGenerateVariations(AppState::panelVariationCount);
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

void PopoverView::showDraft() { state_.setFieldMode(FieldMode::draft); }

void PopoverView::showResult() { state_.setFieldMode(FieldMode::result); }

void PopoverView::toggleHistoryShortcut() { state_.setShowHistory(!state_.showHistory()); }

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

void PopoverView::scheduleRefresh() {
    if (refreshPending_) {
        return;
    }
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { refreshNow(); });
}

void PopoverView::refreshNow() {
    refreshPending_ = false;
    emit refreshed();
}

} // namespace quorvane
