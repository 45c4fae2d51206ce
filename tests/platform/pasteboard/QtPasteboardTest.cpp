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

TEST_F(QtPasteboardTest, ChangesByOthersCountAndRepeatedNoticesOfThemDoNot) {
    QtPasteboard pasteboard;
    const auto start = pasteboard.changeCount();

    systemClipboard().setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(pasteboard.changeCount(), start + 1);
    EXPECT_EQ(pasteboard.string(), "from elsewhere");

    // A platform that tells us twice about one change, or the same text written again.
    emit systemClipboard().dataChanged();
    systemClipboard().setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(pasteboard.changeCount(), start + 1);

    systemClipboard().setText(QStringLiteral("something new"));
    EXPECT_EQ(pasteboard.changeCount(), start + 2);
}

TEST_F(QtPasteboardTest, ContentsWithoutTextCountButReadAsNoString) {
    QtPasteboard pasteboard;
    const auto start = pasteboard.changeCount();

    auto* image = new QMimeData;
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG one", 8));
    systemClipboard().setMimeData(image);
    EXPECT_EQ(pasteboard.string(), std::nullopt);

    // Another picture is another change even though neither holds text.
    auto* other = new QMimeData;
    other->setData(QStringLiteral("image/png"), QByteArray("\x89PNG two", 8));
    systemClipboard().setMimeData(other);

    EXPECT_EQ(pasteboard.changeCount(), start + 2);
}

} // namespace
} // namespace quorvane
