#include "ui/panel/PanelStatusCapsule.h"

#include "PanelFooterFixture.h"
#include "support/ViewTestState.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QString>

namespace quorvane {
namespace {

using test::ViewTestState;

// The capsule as the footer fills it with the model's name and sizes it.
using PanelStatusCapsuleTest = test::PanelFooterFixture;

TEST_F(PanelStatusCapsuleTest, LongModelIsCutInTheMiddle) {
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

} // namespace
} // namespace quorvane
