#include "ui/panel/HistoryRow.h"

#include "engine/Preset.h"
#include "engine/ProviderConfig.h"
#include "engine/Text.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"

#include <QAction>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace quorvane {

namespace {

constexpr qreal hoverOpacity = 0.06;

QLabel* makeLabel(QWidget* parent, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

HistoryRow::HistoryRow(const HistoryItem& item, const QColor& secondary, QWidget* parent)
    : QAbstractButton(parent)
    , preview_(makeLabel(this, DesignFonts::callout()))
    , detail_(makeLabel(this, DesignFonts::caption()))
    , time_(makeLabel(this, DesignFonts::caption()))
    , delete_(new QAction(QStringLiteral("Delete"), this)) {
    setObjectName(QStringLiteral("historyRow"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);

    // A long preview is clipped by the row rather than widening the panel.
    preview_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    preview_->setText(previewText(item.input));
    setText(preview_->text());
    // The draft's ampersands are text, not the mark of an Alt shortcut that would restore it.
    setShortcut(QKeySequence());
    setAccessibleName(preview_->text());
    detail_->setText(QString::fromUtf8(label(item.preset)) + QStringLiteral(" · ") +
                     QString::fromStdString(ProviderConfig::config(item.provider).displayName));
    time_->setText(timestampText(item.timestamp));

    for (QLabel* label : {detail_, time_}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, secondary);
        label->setPalette(palette);
    }

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 8, 16, 8);
    column->setSpacing(3);
    column->addWidget(preview_);
    auto* line = new QHBoxLayout();
    line->setSpacing(6);
    line->addWidget(detail_);
    line->addStretch(1);
    line->addWidget(time_);
    column->addLayout(line);

    delete_->setObjectName(QStringLiteral("deleteAction"));
    addAction(delete_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(delete_, &QAction::triggered, this, &HistoryRow::deleteRequested);
}

QString HistoryRow::previewText(const std::string& input) {
    std::string oneLine = input;
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    const QString text = QString::fromStdString(Text::trimmed(oneLine));
    // Characters as a reader sees them: an accented letter or an emoji made
    // of several code points counts once and is never cut in half.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int characters = 0;
    while (finder.toNextBoundary() != -1) {
        if (++characters == previewLength) {
            const int end = finder.position();
            if (end < text.size()) {
                return text.left(end) + QStringLiteral("…");
            }
            return text;
        }
    }
    return text;
}

QString HistoryRow::timestampText(HistoryItem::Timestamp timestamp) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(timestamp.time_since_epoch());
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(milliseconds.count()).toLocalTime();
    const QLocale locale;
    return locale.toString(local.date(), QStringLiteral("MMM d, yyyy")) + QLatin1Char(' ') +
           locale.toString(local.time(), QLocale::ShortFormat);
}

void HistoryRow::paintEvent(QPaintEvent*) {
    if (!underMouse() && !isDown()) {
        return;
    }
    QPainter painter(this);
    const QColor primary = DesignColors::primary(ColorScheme::of(this));
    painter.fillRect(rect(), DesignColors::withOpacity(primary, hoverOpacity));
}

} // namespace quorvane
