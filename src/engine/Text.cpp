#include "Text.h"

#include <cstdint>
#include <optional>

namespace quorvane::Text {

namespace {

struct Decoded {
    char32_t scalar;
    std::size_t length;
};

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

// Decodes the well-formed sequence at offset, or nothing for malformed bytes.
std::optional<Decoded> decodeAt(std::string_view text, std::size_t offset) {
    const auto lead = static_cast<unsigned char>(text[offset]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || offset + length > text.size()) {
        return std::nullopt;
    }
    if (length == 1) {
        return Decoded{lead, 1};
    }
    static constexpr unsigned char leadMasks[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t scalar = lead & leadMasks[length];
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[offset + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        scalar = (scalar << 6) | (next & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (scalar < smallest[length] || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) {
        return std::nullopt;
    }
    return Decoded{scalar, length};
}

bool isSpaceSeparator(char32_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

bool isHorizontalSpace(char32_t c) {
    return c == 0x09 || isSpaceSeparator(c);
}

bool isSpaceOrLineBreak(char32_t c) {
    return isSpaceSeparator(c) || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0x2028 ||
           c == 0x2029;
}

// Start of the scalar that ends just before end; end - 1 for a stray byte.
std::size_t previousStart(std::string_view text, std::size_t end) {
    std::size_t start = end - 1;
    while (start > 0 && end - start < 4 &&
           (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    const auto decoded = decodeAt(text, start);
    if (decoded && start + decoded->length == end) {
        return start;
    }
    return end - 1;
}

template <typename Predicate>
std::string trimmedWith(std::string_view text, Predicate isTrimmed) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto decoded = decodeAt(text, begin);
        if (!decoded || !isTrimmed(decoded->scalar)) {
            break;
        }
        begin += decoded->length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        const std::size_t start = previousStart(text, end);
        const auto decoded = decodeAt(text, start);
        if (!decoded || start + decoded->length != end || !isTrimmed(decoded->scalar)) {
            break;
        }
        end = start;
    }
    return std::string(text.substr(begin, end - begin));
}

// Length of the scalar (or stray byte) at offset.
std::size_t stepAt(std::string_view text, std::size_t offset) {
    const auto decoded = decodeAt(text, offset);
    return decoded ? decoded->length : 1;
}

} // namespace

std::string trimmed(std::string_view text) {
    return trimmedWith(text, isSpaceOrLineBreak);
}

std::string trimmedHorizontally(std::string_view text) {
    return trimmedWith(text, isHorizontalSpace);
}

bool isBlank(std::string_view text) {
    return trimmed(text).empty();
}

bool isValidUTF8(std::string_view text) {
    for (std::size_t offset = 0; offset < text.size();) {
        const auto decoded = decodeAt(text, offset);
        if (!decoded) {
            return false;
        }
        offset += decoded->length;
    }
    return true;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < text.size(); offset += stepAt(text, offset)) {
        ++count;
    }
    return count;
}

std::string prefix(std::string_view text, std::size_t count) {
    std::size_t offset = 0;
    for (std::size_t taken = 0; taken < count && offset < text.size(); ++taken) {
        offset += stepAt(text, offset);
    }
    return std::string(text.substr(0, offset));
}

} // namespace quorvane::Text
