#include "ui/kit/ColorScheme.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace quorvane {
namespace {

QPalette paletteWithWindow(QColor window) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    return palette;
}

TEST(ColorSchemeTest, DarkWindowColourMeansDark) {
    EXPECT_EQ(ColorScheme::fromPalette(paletteWithWindow(QColor(30, 30, 30))),
              ColorScheme::Scheme::dark);
    EXPECT_EQ(ColorScheme::fromPalette(paletteWithWindow(QColor(239, 239, 239))),
              ColorScheme::Scheme::light);
}

TEST(ColorSchemeTest, ForcedSchemeOnAnAncestorBeatsThePalette) {
    QWidget window;
    window.setPalette(paletteWithWindow(QColor(250, 250, 250)));
    auto* child = new QWidget(&window);
    auto* grandChild = new QWidget(child);
    EXPECT_EQ(ColorScheme::of(grandChild), ColorScheme::Scheme::light);

    ColorScheme::force(&window, ColorScheme::Scheme::dark);
    EXPECT_EQ(ColorScheme::of(grandChild), ColorScheme::Scheme::dark);

    // The nearest forced widget wins.
    ColorScheme::force(child, ColorScheme::Scheme::light);
    EXPECT_EQ(ColorScheme::of(grandChild), ColorScheme::Scheme::light);

    ColorScheme::force(child, std::nullopt);
    ColorScheme::force(&window, std::nullopt);
    EXPECT_FALSE(ColorScheme::forced(&window).has_value());
    EXPECT_EQ(ColorScheme::of(grandChild), ColorScheme::Scheme::light);
}

} // namespace
} // namespace quorvane
