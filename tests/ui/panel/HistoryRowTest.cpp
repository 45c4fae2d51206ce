#include "ui/panel/HistoryRow.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

#include <chrono>
#include <string>

namespace quorvane {
namespace {

TEST(HistoryRowTest, PreviewIsOneTrimmedLineOfAtMostSixtyCharacters) {
    const std::string sixty(60, 'a');
    struct Case {
        const char* name;
        std::string input;
        QString preview;
    };
    const Case cases[] = {
        {"short", "hello", QStringLiteral("hello")},
        {"exactly sixty", sixty, QString::fromStdString(sixty)},
        {"sixty-one", sixty + "b", QString::fromStdString(sixty) + QStringLiteral("…")},
        {"lines", "first\nsecond\nthird", QStringLiteral("first second third")},
        {"leading blank line", "\n  padded  \n", QStringLiteral("padded")},
        // Trimmed before counting: the surrounding spaces do not use up the 60.
        {"spaces around", "   " + sixty + "   ", QString::fromStdString(sixty)},
        // An accented letter built of two code points is one character.
        {"combining marks",
         [] {
             std::string text;
             for (int i = 0; i < 61; ++i) {
                 text += "e\xCC\x81";
             }
             return text;
         }(),
         QString(60, QChar(u'e')).replace(QStringLiteral("e"), QStringLiteral("e\u0301")) +
             QStringLiteral("…")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HistoryRow::previewText(c.input), c.preview);
    }
}

// The user's locale decides: its long date without the weekday and with the month's short name,
// and its short time; the C locale's short time would bring seconds along.
TEST(HistoryRowTest, TimestampIsTheLocalesAbbreviatedDateAndShortTime) {
    const QDateTime local(QDate(2025, 1, 5), QTime(14, 30, 45));
    const auto timestamp =
        HistoryItem::Timestamp(std::chrono::milliseconds(local.toMSecsSinceEpoch()));
    struct Case {
        QLocale locale;
        QString expected;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("Jan 5, 2025 2:30 PM")},
        {QLocale(QLocale::German, QLocale::Germany), QStringLiteral("5. Jan. 2025 14:30")},
        {QLocale::c(), QStringLiteral("5 Jan 2025 14:30")},
        {QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("2025年1月5日 14:30")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        EXPECT_EQ(HistoryRow::timestampText(timestamp, c.locale), c.expected);
    }
}

} // namespace
} // namespace quorvane
