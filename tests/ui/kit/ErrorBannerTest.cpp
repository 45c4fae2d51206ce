#include "ui/kit/ErrorBanner.h"

#include "ui/kit/Symbols.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace quorvane {
namespace {

TEST(ErrorBannerTest, WithoutSettingsShowsIconAndMessageOnly) {
    ErrorBanner banner("Request timed out.", false, [] { FAIL() << "no button to press"; });
    banner.resize(320, banner.sizeHint().height());
    banner.show();
    EXPECT_EQ(banner.messageLabel()->text(), QStringLiteral("Request timed out."));
    EXPECT_EQ(banner.iconLabel()->text(), Symbols::glyph("exclamationmark.triangle.fill"));
    EXPECT_TRUE(banner.iconLabel()->isVisible());
    EXPECT_FALSE(banner.settingsButton()->isVisible());
}

TEST(ErrorBannerTest, SettingsButtonOpensSettings) {
    int opened = 0;
    ErrorBanner banner("Missing API key.", true, [&] { ++opened; });
    banner.resize(320, banner.sizeHint().height());
    banner.show();
    QToolButton* button = banner.settingsButton();
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Settings"));
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_FALSE(button->icon().isNull());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(opened, 1);

    banner.setSuggestsSettings(false);
    EXPECT_FALSE(button->isVisible());
}

TEST(ErrorBannerTest, MessageIsShownVerbatimNotAsMarkup) {
    const std::string message = "<b>HTTP 500</b> &amp; more";
    ErrorBanner banner(message, false, {});
    EXPECT_EQ(banner.messageLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(banner.message(), QString::fromStdString(message));
}

TEST(ErrorBannerTest, LongMessageWrapsAndTheIconStaysAtTheTop) {
    ErrorBanner banner("short", false, {});
    banner.resize(260, banner.heightForWidth(260));
    banner.show();
    const int oneLine = banner.sizeHint().height();
    const QPoint iconTop = banner.iconLabel()->geometry().topLeft();

    banner.setMessage("The provider answered with an error that takes several lines to "
                      "explain in full, and then some more words.");
    const int tall = banner.heightForWidth(260);
    EXPECT_GT(tall, oneLine);
    banner.resize(260, tall);
    QApplication::processEvents();
    EXPECT_EQ(banner.iconLabel()->geometry().topLeft(), iconTop);
}

} // namespace
} // namespace quorvane
