// Icons for the symbol names the interface uses, drawn from the Material
// Icons font that is compiled into the program as a resource.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

class QPainter;
class QRectF;

namespace quorvane {

class Symbols {
public:
    struct Entry {
        std::string_view name;     // the interface's symbol name
        std::string_view material; // the Material Icons ligature it stands for
        char32_t codepoint;
    };

    static const std::vector<Entry>& table();
    static std::optional<char32_t> codepoint(std::string_view name);

    // The icon font at a pixel size; the font is registered on first use.
    static QFont font(qreal pixelSize);
    static QString fontFamily();

    // The glyph for a name as a one-character string; empty for an unknown name.
    static QString glyph(std::string_view name);

    static void paint(QPainter& painter, const QRectF& rect, std::string_view name, qreal pixelSize,
                      const QColor& color);
    static QIcon icon(std::string_view name, qreal pixelSize, const QColor& color);
};

} // namespace quorvane
