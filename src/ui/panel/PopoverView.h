// The whole working surface of the floating panel: header, editor card,
// action bar with the advanced options, questions card, variations picker and
// footer, or the history list in their place. It keeps nothing of its own but
// the two editor focus flags: everything it shows is read from AppState, and
// everything it does is a write to AppState or one of its operations.
#pragma once

#include "state/AppState.h"
#include "ui/kit/CoalescedRefresh.h"
#include "ui/kit/DesignMetrics.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QShortcut;
class QVBoxLayout;

namespace quorvane {

class EditorCard;
class ErrorBanner;
class SpringAnimation;
class Surface;

class PopoverView : public QWidget {
    Q_OBJECT

public:
    // onClose hides the panel; onHeightChanged, when given, hears the content
    // height whenever it changes (and once when first shown).
    PopoverView(AppState& state, std::function<void()> onClose,
                std::function<void(double)> onHeightChanged = {}, QWidget* parent = nullptr);
    ~PopoverView() override;

    AppState& state() const { return state_; }

    // The panel actions that several buttons share.
    // In result mode the shown result, unless blank, becomes the new draft first.
    void regenerate();
    void generateVariations();
    // Submits the answers, or copies the result and closes, or regenerates.
    void primaryAction();
    bool isPrimaryEnabled() const;

    void showDraft();
    void showResult();
    void toggleHistoryShortcut();
    void regenerateIfResult();
    // Calls the host's onClose.
    void requestClose();

    // View-local focus flags, read and written by the editor card.
    bool inputFocused() const { return inputFocused_; }
    void setInputFocused(bool value);
    bool outputFocused() const { return outputFocused_; }
    void setOutputFocused(bool value);

    // Re-reads the state now instead of on the next turn of the event loop.
    void refreshNow();

    // True while the advanced options, questions or variations take room under the editor.
    bool hasAuxiliaryPanel() const;
    // The editor card's height once its spring has settled: 190 or 280.
    int editorTargetHeight() const;
    // The height the content asks for at the fixed width.
    int contentHeight() const;

    static constexpr int width = DesignMetrics::Panel::width;
    static constexpr qreal cornerRadius = DesignMetrics::Panel::cornerRadius;

signals:
    void focusFlagsChanged();
    // After every re-read of the state.
    void refreshed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void adoptShownResultAsDraft();
    void buildLayout();
    ErrorBanner& banner();
    QWidget& history();
    void buildShortcuts();
    void refreshRoot();
    // Whether the history gained an entry since the last call; remembers the current one.
    bool takeNewHistoryEntry();
    void refreshBanner();
    void refreshEditorHeight();
    void refreshCards();
    void refreshShortcuts();
    void reportHeightIfChanged();
    static void fadeIn(QWidget* widget);

    AppState& state_;
    std::function<void()> onClose_;
    std::function<void(double)> onHeightChanged_;
    bool inputFocused_ = false;
    bool outputFocused_ = false;
    std::string lastOutputText_;
    // The history as of the last re-read: an entry not among these is a result that just came.
    std::vector<Uuid> knownHistory_;
    std::optional<int> reportedHeight_;

    QWidget* mainPage_ = nullptr;
    QWidget* history_ = nullptr;
    QVBoxLayout* mainColumn_ = nullptr;
    ErrorBanner* banner_ = nullptr;
    EditorCard* editor_ = nullptr;
    QWidget* advanced_ = nullptr;
    Surface* questions_ = nullptr;
    Surface* variations_ = nullptr;
    SpringAnimation* editorSpring_ = nullptr;
    int editorHeight_ = 280;
    // In the order of the in-app shortcut entries.
    std::array<QShortcut*, 6> shortcuts_{};
    CoalescedRefresh refresher_;
};

} // namespace quorvane
