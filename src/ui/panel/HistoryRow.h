// One saved enhancement in the history list: the start of its draft on one
// line, then preset, provider and time. Clicking restores it; the context
// menu deletes it.
#pragma once

#include "state/HistoryItem.h"

#include <QAbstractButton>
#include <QLocale>

#include <string>

class QAction;
class QLabel;

namespace quorvane {

class HistoryRow : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int previewLength = 60;

    explicit HistoryRow(const HistoryItem& item, QWidget* parent = nullptr);

    // The draft on one line, cut after 60 characters (as a reader counts them).
    static QString previewText(const std::string& input);
    // The local date in the locale's abbreviated style (its long date without the weekday and
    // with the month's short name) and the time in its short style, without seconds.
    static QString timestampText(HistoryItem::Timestamp timestamp,
                                 const QLocale& locale = QLocale::system());

    QLabel* previewLabel() const { return preview_; }
    QLabel* detailLabel() const { return detail_; }
    QLabel* timeLabel() const { return time_; }
    QAction* deleteAction() const { return delete_; }

signals:
    void deleteRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* preview_;
    QLabel* detail_;
    QLabel* time_;
    QAction* delete_;
};

} // namespace quorvane
