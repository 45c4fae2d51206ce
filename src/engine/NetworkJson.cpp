#include "NetworkJson.h"

#include "Text.h"

#include <cstdint>
#include <cstring>

namespace quorvane {

namespace {

// Word-at-a-time tests over eight bytes: prompts run to thousands of bytes,
// nearly all of them plain text that is copied as it stands.
using Word = std::uint64_t;
constexpr Word ones = 0x0101010101010101ULL;
constexpr Word highBits = 0x8080808080808080ULL;

Word load(const char* bytes) {
    Word word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Nonzero when some byte of the word is below the limit (at most 0x80).
constexpr Word bytesBelow(Word word, unsigned char limit) {
    return (word - ones * limit) & ~word & highBits;
}

constexpr Word bytesEqual(Word word, unsigned char value) {
    return bytesBelow(word ^ (ones * value), 1);
}

// Whether a byte of the word must be escaped inside a JSON string.
constexpr bool needsEscape(Word word) {
    return (bytesBelow(word, 0x20) | bytesEqual(word, '"') | bytesEqual(word, '\\')) != 0;
}

// Whether a byte of the word ends a run of plain string text.
constexpr bool endsStringRun(Word word) {
    return (bytesEqual(word, '"') | bytesEqual(word, '\\')) != 0;
}

// Whether arrays and objects nest deeper than the limit, counting brackets
// outside strings. For text the parser accepts, that count is exactly the
// depth of the value it would build; anything else it rejects anyway. One
// tight pass, far cheaper than a second run of the parser: the long string
// that a reply is mostly made of is stepped over eight bytes at a time.
bool nestsDeeperThan(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (inString) {
            while (i + sizeof(Word) <= text.size() && !endsStringRun(load(text.data() + i))) {
                i += sizeof(Word);
            }
            if (i == text.size()) {
                break;
            }
            const char c = text[i];
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        const char c = text[i];
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return true;
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

bool isASCII(std::string_view text) {
    Word seen = 0;
    std::size_t i = 0;
    for (; i + sizeof(Word) <= text.size(); i += sizeof(Word)) {
        seen |= load(text.data() + i);
    }
    for (; i < text.size(); ++i) {
        seen |= static_cast<unsigned char>(text[i]);
    }
    return (seen & highBits) == 0;
}

} // namespace

bool NetworkJson::nestsTooDeeply(std::string_view text) {
    return nestsDeeperThan(text, maxDepth);
}

std::optional<nlohmann::json> NetworkJson::parse(std::string_view text) {
    if (nestsTooDeeply(text)) {
        return std::nullopt;
    }
    auto value = nlohmann::json::parse(text, nullptr, false);
    if (value.is_discarded()) {
        return std::nullopt;
    }
    return value;
}

const std::string* NetworkJson::stringMember(const nlohmann::json& object, const char* name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) {
        return nullptr;
    }
    return found->get_ptr<const std::string*>();
}

std::string NetworkJson::quoted(std::string_view text) {
    if (!isASCII(text) && !Text::isValidUTF8(text)) {
        return nlohmann::json(std::string(text))
            .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 16);
    out += '"';
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        while (i + sizeof(Word) <= text.size() && !needsEscape(load(text.data() + i))) {
            i += sizeof(Word);
        }
        if (i == text.size()) {
            break;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') {
            continue;
        }
        out.append(text, runStart, i - runStart);
        runStart = i + 1;
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    out.append(text, runStart, text.size() - runStart);
    out += '"';
    return out;
}

} // namespace quorvane
