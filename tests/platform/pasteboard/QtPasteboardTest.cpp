#include "platform/pasteboard/QtPasteboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quorvane {
namespace {

class QtPasteboardTest : public testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }

    QClipboard& systemClipboard() { return *QGuiApplication::clipboard(); }
};

// Contents that note every question asked of them, as the owner in another application would
// see them: each one is a round trip to that application.
class WatchedMimeData final : public QMimeData {
public:
    struct Questions {
        int formatLists = 0;
        QStringList fetched;
    };

    explicit WatchedMimeData(Questions& questions, bool withText = true, bool answers = true)
        : questions_(questions)
        , withText_(withText)
        , answers_(answers) {}

    QStringList formats() const override {
        ++questions_.formatLists;
        QStringList offered{QStringLiteral("image/png")};
        if (withText_) {
            offered.append(QStringLiteral("text/plain"));
        }
        return offered;
    }
    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        questions_.fetched.append(format);
        if (!answers_) {
            return {};
        }
        return format.startsWith(QStringLiteral("text/plain"))
                   ? QVariant(QStringLiteral("a secret"))
                   : QVariant(QByteArray("\x89PNG"));
    }

private:
    Questions& questions_;
    bool withText_;
    bool answers_;
};

TEST_F(QtPasteboardTest, ContentsFromBeforeStartAreNewsToALookThatNeverHappened) {
    systemClipboard().setText(QStringLiteral("copied before launch"));
    const QtPasteboard pasteboard;

    // A state that never looked remembers a count of zero.
    EXPECT_NE(pasteboard.changeCount(), 0);
    EXPECT_EQ(pasteboard.string(), "copied before launch");
}

TEST_F(QtPasteboardTest, OwnWritesAreReadBackAndCountOnceEach) {
    QtPasteboard pasteboard;
    const auto start = pasteboard.changeCount();

    pasteboard.clearContents();
    EXPECT_EQ(pasteboard.string(), std::nullopt);
    pasteboard.setString("héllo\nwörld");
    EXPECT_EQ(pasteboard.string(), "héllo\nwörld");
    // The same text again is still a write of ours.
    pasteboard.setString("héllo\nwörld");

    EXPECT_EQ(pasteboard.changeCount(), start + 3);
    EXPECT_EQ(systemClipboard().text(), QStringLiteral("héllo\nwörld"));
}

TEST_F(QtPasteboardTest, EveryCopyElsewhereCountsAndTheSelectionDoesNot) {
    QtPasteboard pasteboard;
    const auto start = pasteboard.changeCount();

    systemClipboard().setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(pasteboard.changeCount(), start + 1);
    EXPECT_EQ(pasteboard.string(), "from elsewhere");

    // Copied again: a change like any other.
    systemClipboard().setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(pasteboard.changeCount(), start + 2);

    // Selecting text elsewhere fills the X11 selection, not the clipboard.
    emit systemClipboard().changed(QClipboard::Selection);
    EXPECT_EQ(pasteboard.changeCount(), start + 2);

    auto* image = new QMimeData;
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    systemClipboard().setMimeData(image);
    EXPECT_EQ(pasteboard.changeCount(), start + 3);
    EXPECT_EQ(pasteboard.string(), std::nullopt);
}

TEST_F(QtPasteboardTest, CountingAsksTheContentsNothingAndReadingOnlyForText) {
    WatchedMimeData::Questions questions;
    const QtPasteboard pasteboard;
    const auto start = pasteboard.changeCount();

    systemClipboard().setMimeData(new WatchedMimeData(questions));
    systemClipboard().setMimeData(new WatchedMimeData(questions));
    EXPECT_EQ(pasteboard.changeCount(), start + 2);
    EXPECT_EQ(questions.formatLists, 0) << "the owner was asked for its formats on a mere change";
    EXPECT_TRUE(questions.fetched.isEmpty()) << questions.fetched.join(' ').toStdString();

    EXPECT_EQ(pasteboard.string(), "a secret");
    ASSERT_FALSE(questions.fetched.isEmpty());
    for (const QString& format : questions.fetched) {
        EXPECT_TRUE(format.startsWith(QStringLiteral("text/plain"))) << format.toStdString();
    }

    // Each question waits on an owner that may never answer: one for the formats is enough to
    // learn that there is no text.
    WatchedMimeData::Questions picture;
    systemClipboard().setMimeData(new WatchedMimeData(picture, false));
    EXPECT_EQ(pasteboard.string(), std::nullopt);
    EXPECT_EQ(picture.formatLists, 1);
    EXPECT_TRUE(picture.fetched.isEmpty());

    // An owner that lists text and then never sends it costs one wait, not one for every
    // spelling of text that might be tried after it.
    WatchedMimeData::Questions hung;
    systemClipboard().setMimeData(new WatchedMimeData(hung, true, false));
    EXPECT_EQ(pasteboard.string(), "");
    EXPECT_EQ(hung.fetched.size(), 1) << hung.fetched.join(' ').toStdString();
}

} // namespace
} // namespace quorvane
