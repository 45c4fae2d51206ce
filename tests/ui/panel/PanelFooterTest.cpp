#include "ui/panel/PanelFooter.h"

#include "engine/ProviderConfig.h"
#include "platform/links/Links.h"
#include "support/ViewTestState.h"
#include "ui/panel/PanelStatusCapsule.h"
#include "ui/panel/PopoverView.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <string>

namespace quorvane {
namespace {

using test::ViewTestState;

class PanelFooterTest : public testing::Test {
protected:
    void SetUp() override { footer_.show(); }

    AppState& state() { return fixture_.state(); }
    QString capsuleText() {
        panel_.refreshNow();
        return footer_.statusCapsule()->text();
    }

    ViewTestState fixture_;
    PopoverView panel_{fixture_.state(), [] {}};
    PanelFooter footer_{panel_};
};

TEST_F(PanelFooterTest, CapsuleNamesTheModelElseTheProvider) {
    EXPECT_EQ(capsuleText(), QStringLiteral("test-model"));

    state().setModel("");
    const std::string provider = ProviderConfig::config(state().providerID()).displayName;
    ASSERT_FALSE(provider.empty());
    EXPECT_EQ(capsuleText(), QString::fromStdString(provider));

    state().setModel("claude-x");
    EXPECT_EQ(capsuleText(), QStringLiteral("claude-x"));
}

TEST_F(PanelFooterTest, LongModelIsCutInTheMiddle) {
    const QString model =
        QStringLiteral("org-") + QString(200, QLatin1Char('m')) + QStringLiteral("-2025-instruct");
    state().setModel(model.toStdString());
    EXPECT_EQ(capsuleText(), model) << "the whole identifier is kept";
    footer_.resize(480, footer_.sizeHint().height());
    ViewTestState::processEvents();
    const QString shown = footer_.statusCapsule()->shownText();
    EXPECT_LT(shown.size(), model.size());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("org-")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("-instruct")));
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
}

TEST_F(PanelFooterTest, SponsorLinkPointsAtTheSponsorPage) {
    QToolButton* link = footer_.sponsorLink();
    EXPECT_EQ(link->text(), QStringLiteral("Sponsor"));
    EXPECT_EQ(link->toolTip().toStdString(), std::string(Links::sponsor));
}

} // namespace
} // namespace quorvane
