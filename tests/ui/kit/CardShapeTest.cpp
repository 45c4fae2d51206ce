#include "ui/kit/CardShape.h"

#include "support/Render.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>

namespace quorvane {
namespace {

TEST(CardShapeTest, FocusEasesTheOutlineIntoTheAccentRing) {
    CardShape card(false, 7);
    card.resize(200, 100);
    EXPECT_DOUBLE_EQ(card.focusProgress(), 0.0);
    const QRectF cardRect = card.cardRect();
    const QPoint edge(static_cast<int>(cardRect.center().x()), static_cast<int>(cardRect.top()));
    const QColor resting = test::render(card).pixelColor(edge);

    card.setFocused(true);
    QElapsedTimer safety;
    safety.start();
    while (card.focusProgress() < 1.0 && safety.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_DOUBLE_EQ(card.focusProgress(), 1.0);
    const QColor focused = test::render(card).pixelColor(edge);
    // The accent ring is blue; the resting outline is a faint grey on white.
    EXPECT_GT(focused.blue() - focused.red(), 100);
    EXPECT_LT(std::abs(resting.blue() - resting.red()), 10);
}

TEST(CardShapeTest, ContentSitsOnTheCardInsideTheShadowMargins) {
    CardShape card;
    auto* label = new QLabel(QStringLiteral("instructions"));
    card.setContent(label);
    card.resize(200, 100);
    card.show();
    QApplication::processEvents();
    EXPECT_EQ(QRectF(label->geometry()), card.cardRect());
}

} // namespace
} // namespace quorvane
