// The history sheet the panel shows in place of its main column: a header
// with "Clear all" and "Done", then the saved enhancements newest first, or
// a quiet empty state. Rows restore or delete their item through the state.
#pragma once

#include "state/AppState.h"
#include "ui/kit/CoalescedRefresh.h"
#include "ui/kit/ColorScheme.h"

#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace quorvane {

class HistoryRow;

class HistoryView : public QWidget {
    Q_OBJECT

public:
    explicit HistoryView(AppState& state, QWidget* parent = nullptr);

    void refresh();

    QPushButton* clearAllButton() const { return clearAll_; }
    QPushButton* doneButton() const { return done_; }
    QWidget* emptyState() const { return empty_; }
    QScrollArea* list() const { return scroll_; }
    std::vector<HistoryRow*> rows() const;

private:
    QWidget* makeHeader();
    QWidget* makeEmptyState();
    // Which parts the next re-read rebuilds.
    void noteChange(AppState::Property property);
    void rebuildRows();
    // The destructive button's colour follows the light or dark look the panel shows.
    void applyColors();
    void clearAll();

    AppState& state_;
    QPushButton* clearAll_ = nullptr;
    QPushButton* done_ = nullptr;
    QStackedWidget* content_ = nullptr;
    QWidget* empty_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* rowsHost_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    bool rowsStale_ = true;
    std::optional<ColorScheme::Scheme> scheme_;
    CoalescedRefresh refresher_;
};

} // namespace quorvane
