#include "ui/panel/PanelFooter.h"

#include "PanelFooterFixture.h"
#include "engine/ProviderConfig.h"
#include "platform/links/Links.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <string>

namespace quorvane {
namespace {

using PanelFooterTest = test::PanelFooterFixture;

TEST_F(PanelFooterTest, CapsuleNamesTheModelElseTheProvider) {
    EXPECT_EQ(capsuleText(), QStringLiteral("test-model"));

    state().setModel("");
    const std::string provider = ProviderConfig::config(state().providerID()).displayName;
    ASSERT_FALSE(provider.empty());
    EXPECT_EQ(capsuleText(), QString::fromStdString(provider));

    state().setModel("claude-x");
    EXPECT_EQ(capsuleText(), QStringLiteral("claude-x"));
}

TEST_F(PanelFooterTest, SponsorLinkPointsAtTheSponsorPage) {
    QToolButton* link = footer_.sponsorLink();
    EXPECT_EQ(link->text(), QStringLiteral("Sponsor"));
    EXPECT_EQ(link->toolTip().toStdString(), std::string(Links::sponsor));
}

} // namespace
} // namespace quorvane
