#include "UnicodeScalar.h"

#include "engine/Text.h"

#include <locale>

namespace quorvane::UnicodeScalar {
namespace {

// Classification comes from the C library's Unicode tables; a locale object of our own keeps
// the process-wide locale untouched. Without the C.UTF-8 locale only ASCII is classified.
const std::ctype<wchar_t>& unicodeCType() {
    static const std::locale locale = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(locale);
}

} // namespace

std::optional<char32_t> first(std::string_view utf8) {
    const std::string head = Text::prefix(utf8, 1);
    if (head.empty() || !Text::isValidUTF8(head)) {
        return std::nullopt;
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    switch (head.size()) {
    case 1:
        return byte(0);
    case 2:
        return ((byte(0) & 0x1FU) << 6) | (byte(1) & 0x3FU);
    case 3:
        return ((byte(0) & 0x0FU) << 12) | ((byte(1) & 0x3FU) << 6) | (byte(2) & 0x3FU);
    default:
        return ((byte(0) & 0x07U) << 18) | ((byte(1) & 0x3FU) << 12) | ((byte(2) & 0x3FU) << 6) |
               (byte(3) & 0x3FU);
    }
}

bool isLetterOrNumber(char32_t scalar) {
    return unicodeCType().is(std::ctype_base::alnum, static_cast<wchar_t>(scalar));
}

char32_t uppercased(char32_t scalar) {
    return static_cast<char32_t>(unicodeCType().toupper(static_cast<wchar_t>(scalar)));
}

std::string toUTF8(char32_t scalar) {
    std::string out;
    if (scalar < 0x80) {
        out += static_cast<char>(scalar);
    } else if (scalar < 0x800) {
        out += static_cast<char>(0xC0 | (scalar >> 6));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    } else if (scalar < 0x10000) {
        out += static_cast<char>(0xE0 | (scalar >> 12));
        out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (scalar >> 18));
        out += static_cast<char>(0x80 | ((scalar >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    }
    return out;
}

} // namespace quorvane::UnicodeScalar
