#include "ui/panel/HistoryRow.h"

#include "engine/Preset.h"
#include "engine/ProviderConfig.h"
#include "engine/Text.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"

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
#include <vector>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::History;

constexpr qreal hoverOpacity = 0.06;

// One piece of a date or time pattern: a run of one field letter, or literal text (quoted
// parts keep their quotes).
struct PatternPart {
    QString text;
    bool field = false;
};

std::vector<PatternPart> splitPattern(const QString& pattern) {
    std::vector<PatternPart> parts;
    for (qsizetype at = 0; at < pattern.size();) {
        const QChar first = pattern.at(at);
        qsizetype end = at + 1;
        if (first == QLatin1Char('\'')) {
            end = pattern.indexOf(QLatin1Char('\''), at + 1);
            end = end < 0 ? pattern.size() : end + 1;
        } else if (first.isLetter() && first.unicode() < 128) {
            while (end < pattern.size() && pattern.at(end) == first) {
                ++end;
            }
        } else {
            while (end < pattern.size() && pattern.at(end) != QLatin1Char('\'') &&
                   !(pattern.at(end).isLetter() && pattern.at(end).unicode() < 128)) {
                ++end;
            }
        }
        const QString text = pattern.mid(at, end - at);
        const bool field = first.isLetter() && first.unicode() < 128;
        // A literal that follows a literal (a quoted part after punctuation) stays one piece.
        if (!field && !parts.empty() && !parts.back().field) {
            parts.back().text += text;
        } else {
            parts.push_back({text, field});
        }
        at = end;
    }
    return parts;
}

// Spaces and punctuation between fields, which go with a field that is taken out.
bool isSeparator(const PatternPart& part) {
    return !part.field && std::none_of(part.text.begin(), part.text.end(),
                                       [](QChar c) { return c.isLetterOrNumber(); });
}

enum class Side { before, after };

// Takes out the fields of one letter from the given length on, each with the separator on the
// side given (the weekday's comma after it, the seconds' colon before them), or else with the
// one on the other side.
void removeFields(std::vector<PatternPart>& parts, QChar letter, qsizetype fromLength,
                  Side separator) {
    for (std::size_t index = 0; index < parts.size();) {
        const PatternPart& part = parts[index];
        if (!part.field || part.text.at(0) != letter || part.text.size() < fromLength) {
            ++index;
            continue;
        }
        const bool hasBefore = index > 0 && isSeparator(parts[index - 1]);
        const bool hasAfter = index + 1 < parts.size() && isSeparator(parts[index + 1]);
        const bool takeBefore = hasBefore && (separator == Side::before || !hasAfter);
        const auto at = parts.begin() + static_cast<std::ptrdiff_t>(index);
        if (takeBefore) {
            parts.erase(at - 1, at + 1);
            --index;
        } else if (hasAfter) {
            parts.erase(at, at + 2);
        } else {
            parts.erase(at);
        }
    }
}

QString joined(const std::vector<PatternPart>& parts) {
    QString pattern;
    for (const PatternPart& part : parts) {
        pattern += part.text;
    }
    return pattern.trimmed();
}

QString abbreviatedDateFormat(const QLocale& locale) {
    auto parts = splitPattern(locale.dateFormat(QLocale::LongFormat));
    removeFields(parts, QLatin1Char('d'), 3, Side::after);
    for (PatternPart& part : parts) {
        if (part.field && part.text.startsWith(QLatin1String("MMMM"))) {
            part.text = QStringLiteral("MMM");
        }
    }
    return joined(parts);
}

QString shortTimeFormat(const QLocale& locale) {
    auto parts = splitPattern(locale.timeFormat(QLocale::ShortFormat));
    removeFields(parts, QLatin1Char('s'), 1, Side::before);
    removeFields(parts, QLatin1Char('z'), 1, Side::before);
    return joined(parts);
}

QLabel* makeLabel(QWidget* parent, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

HistoryRow::HistoryRow(const HistoryItem& item, QWidget* parent)
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
        label->setForegroundRole(QPalette::PlaceholderText);
    }

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(Metrics::rowPaddingX, Metrics::rowPaddingY, Metrics::rowPaddingX,
                               Metrics::rowPaddingY);
    column->setSpacing(Metrics::rowSpacing);
    column->addWidget(preview_);
    auto* line = new QHBoxLayout();
    line->setSpacing(Metrics::detailSpacing);
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

QString HistoryRow::timestampText(HistoryItem::Timestamp timestamp, const QLocale& locale) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(timestamp.time_since_epoch());
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(milliseconds.count()).toLocalTime();
    return locale.toString(local.date(), abbreviatedDateFormat(locale)) + QLatin1Char(' ') +
           locale.toString(local.time(), shortTimeFormat(locale));
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
