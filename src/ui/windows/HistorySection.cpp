#include "ui/windows/HistorySection.h"

#include "state/AppState.h"
#include "ui/windows/SettingsGroup.h"
#include "ui/windows/SettingsRow.h"
#include "ui/windows/SupportFormButton.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quorvane {

namespace {

// Shown as written; the store's own limit is the same number.
constexpr int shownLimit = 20;

} // namespace

HistorySection::HistorySection(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , group_(new SettingsGroup(QStringLiteral("History"))) {
    auto* clear = new SupportFormButton(QString(), QStringLiteral("Clear all"));
    clear->setDestructive(true);
    clearButton_ = clear;
    auto* row = new SettingsRow(QStringLiteral("clock"), QString(), clearButton_);
    countLabel_ = row->label();
    group_->addRow(row);
    connect(clearButton_, &QPushButton::clicked, this, [this] { clearHistory(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    refresh();
}

void HistorySection::refresh() {
    const auto count = static_cast<int>(state_.history().size());
    countLabel_->setText(tr("%1 saved (max %2)").arg(count).arg(shownLimit));
    clearButton_->setEnabled(count > 0);
}

void HistorySection::clearHistory() {
    state_.setHistory({});
    state_.historyStore().save(state_.history());
    refresh();
}

} // namespace quorvane
