#include "ui/kit/VisualEffectView.h"

#include "support/Render.h"

#include <gtest/gtest.h>

#include <QImage>

namespace quorvane {
namespace {

// The fill is what stands in for the blur: it must follow the scheme the
// view finds itself in and stay translucent in both.
TEST(VisualEffectViewTest, PaintsATranslucentFillForItsScheme) {
    for (const auto scheme : {ColorScheme::Scheme::light, ColorScheme::Scheme::dark}) {
        SCOPED_TRACE(scheme == ColorScheme::Scheme::dark ? "dark" : "light");
        VisualEffectView view(VisualEffectView::Material::popover,
                              VisualEffectView::BlendingMode::behindWindow);
        ColorScheme::force(&view, scheme);
        view.resize(40, 30);

        const QImage image = test::render(view);

        const QColor expected = VisualEffectView::fill(VisualEffectView::Material::popover, scheme);
        EXPECT_LT(expected.alpha(), 255);
        EXPECT_EQ(image.pixelColor(20, 15).rgba(), expected.rgba());
    }
    EXPECT_NE(
        VisualEffectView::fill(VisualEffectView::Material::popover, ColorScheme::Scheme::light),
        VisualEffectView::fill(VisualEffectView::Material::popover, ColorScheme::Scheme::dark));
}

} // namespace
} // namespace quorvane
