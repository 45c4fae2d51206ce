#include "ui/panel/HistoryView.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Divider.h"
#include "ui/kit/PushButtonSize.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/panel/HistoryRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::History;

QPushButton* makeSmallButton(QWidget* parent, const QString& title, const char* objectName) {
    auto* button = new QPushButton(title, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    PushButtonSize::apply(*button, ControlSize::small);
    button->setAccessibleName(title);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

HistoryView::HistoryView(AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , refresher_(
          state, *this, [this] { refresh(); },
          [this](AppState::Property property) { noteChange(property); }) {
    setObjectName(QStringLiteral("historyView"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(new Divider(Qt::Horizontal, this));

    content_ = new QStackedWidget(this);
    empty_ = makeEmptyState();
    content_->addWidget(empty_);

    scroll_ = new QScrollArea(content_);
    scroll_->setObjectName(QStringLiteral("historyList"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->viewport()->setAutoFillBackground(false);
    rowsHost_ = new QWidget();
    rowsLayout_ = new QVBoxLayout(rowsHost_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(0);
    rowsLayout_->addStretch(1);
    scroll_->setWidget(rowsHost_);
    // The list lies on the panel's own ground; the scroll area fills its widget by default.
    rowsHost_->setAutoFillBackground(false);
    content_->addWidget(scroll_);
    column->addWidget(content_, 1);
    // The list, and so its scroll bar, ends short of the panel's rounded corner, which would
    // cut the bar off.
    column->addSpacing(Metrics::listBottomInset);

    refresh();
}

QWidget* HistoryView::makeHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(Metrics::headerPaddingX, Metrics::headerPaddingY,
                            Metrics::headerPaddingX, Metrics::headerPaddingY);

    auto* symbol = new QLabel(Symbols::glyph("clock.arrow.circlepath"), header);
    symbol->setFont(Symbols::font(DesignFonts::headline().pixelSize()));
    row->addWidget(symbol);
    auto* title = new QLabel(QStringLiteral("History"), header);
    title->setFont(DesignFonts::headline());
    row->addWidget(title);
    row->addStretch(1);

    clearAll_ = makeSmallButton(header, QStringLiteral("Clear all"), "clearAllButton");
    row->addWidget(clearAll_);
    done_ = makeSmallButton(header, QStringLiteral("Done"), "doneButton");
    row->addWidget(done_);

    connect(clearAll_, &QPushButton::clicked, this, &HistoryView::clearAll);
    connect(done_, &QPushButton::clicked, this, [this] { state_.setShowHistory(false); });
    return header;
}

QWidget* HistoryView::makeEmptyState() {
    auto* empty = new QWidget(this);
    empty->setObjectName(QStringLiteral("historyEmpty"));
    auto* stack = new QVBoxLayout(empty);
    stack->setContentsMargins(0, Metrics::emptyPaddingY, 0, Metrics::emptyPaddingY);
    stack->setSpacing(Metrics::emptySpacing);
    auto* symbol = new QLabel(Symbols::glyph("tray"), empty);
    symbol->setFont(Symbols::font(DesignFonts::title2().pixelSize()));
    symbol->setAlignment(Qt::AlignCenter);
    auto* text = new QLabel(QStringLiteral("No history yet"), empty);
    text->setAlignment(Qt::AlignCenter);
    for (QLabel* label : {symbol, text}) {
        label->setForegroundRole(QPalette::PlaceholderText);
        stack->addWidget(label);
    }
    stack->addStretch(1);
    return empty;
}

std::vector<HistoryRow*> HistoryView::rows() const {
    std::vector<HistoryRow*> result;
    for (int index = 0; index < rowsLayout_->count(); ++index) {
        if (auto* row = qobject_cast<HistoryRow*>(rowsLayout_->itemAt(index)->widget())) {
            result.push_back(row);
        }
    }
    return result;
}

void HistoryView::noteChange(AppState::Property property) {
    if (property == AppState::Property::history ||
        property == AppState::Property::objectWillChange) {
        rowsStale_ = true;
    }
}

void HistoryView::refresh() {
    applyColors();
    const bool empty = state_.history().empty();
    clearAll_->setVisible(!empty);
    content_->setCurrentWidget(empty ? empty_ : static_cast<QWidget*>(scroll_));
    if (rowsStale_) {
        rebuildRows();
    }
}

void HistoryView::applyColors() {
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    if (scheme_ == scheme) {
        return;
    }
    scheme_ = scheme;
    // Destructive, in the red that the settings' "Clear all" has too.
    WidgetPalette::setForeground(*clearAll_, DesignColors::redText(scheme));
}

void HistoryView::rebuildRows() {
    rowsStale_ = false;
    while (rowsLayout_->count() > 1) {
        QLayoutItem* item = rowsLayout_->takeAt(0);
        if (QWidget* widget = item->widget()) {
            // Later, since the click that led here may still be on the stack.
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    int position = 0;
    for (const HistoryItem& item : state_.history()) {
        auto* row = new HistoryRow(item, rowsHost_);
        // The handlers hold their own copy of the item: the list may change
        // between building the row and the click.
        connect(row, &HistoryRow::clicked, this, [this, item] { state_.restoreHistoryItem(item); });
        connect(row, &HistoryRow::deleteRequested, this,
                [this, id = item.id] { state_.deleteHistoryItem(id); });
        rowsLayout_->insertWidget(position++, row);
        rowsLayout_->insertWidget(position++, new Divider(Qt::Horizontal, rowsHost_));
    }
}

void HistoryView::clearAll() {
    state_.setHistory({});
    state_.historyStore().save({});
    refresh();
}

} // namespace quorvane
