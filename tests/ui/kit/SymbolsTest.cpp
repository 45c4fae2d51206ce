#include "ui/kit/Symbols.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <set>
#include <string>

namespace quorvane {
namespace {

// Every symbol name the interface asks for.
const std::set<std::string>& interfaceSymbols() {
    static const std::set<std::string> names = {"arrow.clockwise",
                                                "arrow.down.circle",
                                                "arrow.right",
                                                "arrow.right.circle.fill",
                                                "arrow.triangle.2.circlepath",
                                                "arrow.up.right.square",
                                                "arrow.uturn.backward",
                                                "chart.bar",
                                                "checkmark",
                                                "checkmark.circle.fill",
                                                "checkmark.seal",
                                                "checkmark.seal.fill",
                                                "chevron.down",
                                                "chevron.right",
                                                "circle.lefthalf.filled",
                                                "clock",
                                                "clock.arrow.circlepath",
                                                "command",
                                                "cube",
                                                "cup.and.saucer",
                                                "curlybraces",
                                                "desktopcomputer",
                                                "doc.on.clipboard",
                                                "doc.on.doc",
                                                "doc.on.doc.fill",
                                                "doc.text",
                                                "envelope",
                                                "exclamationmark.triangle",
                                                "exclamationmark.triangle.fill",
                                                "eye",
                                                "eye.slash",
                                                "face.smiling",
                                                "gearshape",
                                                "globe",
                                                "hand.raised",
                                                "heart",
                                                "info.circle",
                                                "key",
                                                "key.slash",
                                                "keyboard",
                                                "ladybug",
                                                "link",
                                                "list.bullet",
                                                "lock.shield",
                                                "moon",
                                                "newspaper",
                                                "paintbrush",
                                                "pencil.circle",
                                                "person.2",
                                                "photo",
                                                "plus.circle.fill",
                                                "power",
                                                "questionmark.bubble.fill",
                                                "server.rack",
                                                "sparkle",
                                                "sparkles",
                                                "sparkles.rectangle.stack",
                                                "square.stack.3d.up",
                                                "square.stack.3d.up.fill",
                                                "stop.fill",
                                                "sun.max",
                                                "terminal",
                                                "terminal.fill",
                                                "text.bubble",
                                                "trash",
                                                "tray",
                                                "video",
                                                "wand.and.stars",
                                                "xmark"};
    return names;
}

TEST(SymbolsTest, EveryInterfaceSymbolHasAGlyphInTheEmbeddedFont) {
    const QRawFont raw = QRawFont::fromFont(Symbols::font(24));
    ASSERT_TRUE(raw.isValid());
    // Our own copy, never an installed font of the original family.
    ASSERT_EQ(Symbols::fontFamily(), QStringLiteral("Quorvane Icons"));
    EXPECT_EQ(QFontInfo(Symbols::font(24)).family(), QStringLiteral("Quorvane Icons"));
    for (const std::string& name : interfaceSymbols()) {
        const auto code = Symbols::codepoint(name);
        ASSERT_TRUE(code.has_value()) << name;
        EXPECT_TRUE(raw.supportsCharacter(static_cast<uint>(*code))) << name;
    }
}

TEST(SymbolsTest, TableHoldsEachNameOnceAndNothingUnknownResolves) {
    std::set<std::string_view> seen;
    for (const Symbols::Entry& entry : Symbols::table()) {
        EXPECT_TRUE(seen.insert(entry.name).second) << entry.name;
    }
    EXPECT_FALSE(Symbols::codepoint("no.such.symbol").has_value());
    EXPECT_TRUE(Symbols::glyph("no.such.symbol").isEmpty());
}

TEST(SymbolsTest, IconDrawsInkInTheRequestedColour) {
    const QImage image =
        Symbols::icon("wand.and.stars", 20, QColor(255, 0, 0)).pixmap(20, 20).toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 128) {
                ++inked;
                EXPECT_GT(pixel.red(), 200);
                EXPECT_LT(pixel.green(), 60);
            }
        }
    }
    EXPECT_GT(inked, 10);
}

} // namespace
} // namespace quorvane
