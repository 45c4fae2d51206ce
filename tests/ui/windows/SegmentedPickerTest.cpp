#include "ui/windows/SegmentedPicker.h"

#include "support/Render.h"
#include "support/ViewTestState.h"
#include "ui/kit/ApplicationTheme.h"
#include "ui/windows/AppearanceSection.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QWidget>

#include <cmath>

namespace quorvane {
namespace {

using test::ViewTestState;

// The picker as the appearance section shows it, for the theme.
class SegmentedPickerTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

// The chosen theme stands out from the other two in both looks: the style's pressed look of a
// checked segment alone was all but invisible in the dark one.
TEST_F(SegmentedPickerTest, TheChosenThemeSegmentStandsOut) {
    for (const auto scheme : {ColorScheme::Scheme::light, ColorScheme::Scheme::dark}) {
        SCOPED_TRACE(scheme == ColorScheme::Scheme::dark ? "dark" : "light");
        QWidget window;
        ApplicationTheme::apply(window, scheme);
        auto* section = new AppearanceSection(state(), &window);
        window.resize(520, section->sizeHint().height());
        window.show();
        ViewTestState::processEvents();
        SegmentedPicker* picker = section->themePicker();
        const auto ground = [&](int index) {
            QWidget* segment = picker->segment(index);
            const QImage picture = test::render(window, QColor(128, 128, 128));
            // A strip just inside the segment's bottom edge, clear of its label.
            const QPoint at =
                segment->mapTo(&window, QPoint(segment->width() / 2, segment->height() - 4));
            return picture.pixelColor(at);
        };
        const QColor chosen = ground(picker->currentIndex());
        const QColor other = ground((picker->currentIndex() + 1) % picker->count());
        const double distance =
            std::hypot(chosen.red() - other.red(), chosen.green() - other.green(),
                       chosen.blue() - other.blue());
        EXPECT_GT(distance, 60) << "the chosen segment looks like the others";
    }
}

} // namespace
} // namespace quorvane
