#include "NetworkJson.h"

#include "Text.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace quorvane {

namespace {

// Tests over sixteen bytes at a time, with the compiler's vector extension
// (SSE2 on x86-64, NEON on arm64): prompts and replies run to thousands of
// bytes, nearly all of them plain text that is copied or stepped over as it
// stands.
using Block = unsigned char __attribute__((vector_size(16)));

Block load(const char* bytes) {
    Block block;
    std::memcpy(&block, bytes, sizeof block);
    return block;
}

constexpr Block splat(unsigned char value) {
    return Block{} + value;
}

// Whether any lane of a comparison's result is set.
template <typename Mask>
bool anySet(Mask mask) {
    std::uint64_t halves[2];
    static_assert(sizeof halves == sizeof mask);
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// The bytes of the block that must be escaped inside a JSON string. A
// lambda rather than a function, so that the scanning loop is always
// compiled with it in place instead of calling through a pointer.
constexpr auto escapedBytes = [](Block block) {
    return (block < splat(0x20)) | (block == splat('"')) | (block == splat('\\'));
};

// Those, and the bytes above ASCII, with no extra comparison: read as signed,
// the bytes above ASCII are negative, so below 0x20 like the control characters.
constexpr auto escapedOrHighBytes = [](Block block) {
    using SignedBlock = signed char __attribute__((vector_size(16)));
    return std::bit_cast<Block>(std::bit_cast<SignedBlock>(block) < (SignedBlock{} + 0x20)) |
           (block == splat('"')) | (block == splat('\\'));
};

// The bytes of the block that end a run of plain string text.
constexpr auto stringEndBytes = [](Block block) {
    return (block == splat('"')) | (block == splat('\\'));
};

// The place of the first set lane of a comparison's result, which has one.
template <typename Mask>
std::size_t firstSet(Mask mask) {
    static_assert(std::endian::native == std::endian::little, "lanes are counted from the low end");
    std::uint64_t halves[2];
    static_assert(sizeof halves == sizeof mask);
    std::memcpy(halves, &mask, sizeof halves);
    constexpr int laneBits = 8;
    if (halves[0] != 0) {
        return static_cast<std::size_t>(std::countr_zero(halves[0]) / laneBits);
    }
    return sizeof(std::uint64_t) + static_cast<std::size_t>(std::countr_zero(halves[1]) / laneBits);
}

// The first place at or after `at` that holds a byte `marked` picks out, or
// the place where fewer than a block of bytes remain, from where the caller
// goes on byte by byte. Long runs are tried four blocks at a time, which
// tests the lanes once for all four.
template <typename Marked>
std::size_t skipUnmarked(std::string_view text, std::size_t at, Marked marked) {
    const char* bytes = text.data();
    constexpr std::size_t block = sizeof(Block);
    while (at + 4 * block <= text.size() &&
           !anySet(marked(load(bytes + at)) | marked(load(bytes + at + block)) |
                   marked(load(bytes + at + 2 * block)) | marked(load(bytes + at + 3 * block)))) {
        at += 4 * block;
    }
    for (; at + block <= text.size(); at += block) {
        const auto found = marked(load(bytes + at));
        if (anySet(found)) {
            return at + firstSet(found);
        }
    }
    return at;
}

// Whether arrays and objects nest deeper than the limit, counting brackets
// outside strings. For text the parser accepts, that count is exactly the
// depth of the value it would build; anything else it rejects anyway. One
// tight pass, far cheaper than a second run of the parser: the long string
// that a reply is mostly made of is stepped over many bytes at a time.
bool nestsDeeperThan(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (inString) {
            i = skipUnmarked(text, i, stringEndBytes);
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

// Appends the text from `at` on with the bytes JSON strings may not hold escaped, up to the
// end or, when StopAtHigh, up to the first byte above ASCII; returns where it stopped.
// `marked` picks out the bytes the pass must look at.
template <bool StopAtHigh, typename Marked>
std::size_t appendEscaped(std::string& out, std::string_view text, std::size_t at, Marked marked) {
    static constexpr char hex[] = "0123456789abcdef";
    std::size_t runStart = at;
    for (std::size_t i = at; i < text.size(); ++i) {
        i = skipUnmarked(text, i, marked);
        if (i == text.size()) {
            break;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (StopAtHigh && byte >= 0x80) {
            out.append(text, runStart, i - runStart);
            return i;
        }
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
    return text.size();
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
    std::string out;
    appendQuoted(out, text);
    return out;
}

void NetworkJson::appendQuoted(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.reserve(start + text.size() + 16);
    out += '"';
    // Plain ASCII needs no look at its encoding: the escaping pass stops at the first byte
    // above it, and only then is the whole text checked, once, so that an ASCII prompt is
    // read a single time.
    const std::size_t firstHigh = appendEscaped<true>(out, text, 0, escapedOrHighBytes);
    if (firstHigh < text.size()) {
        if (!Text::isValidUTF8(text)) {
            out.resize(start);
            out += nlohmann::json(std::string(text))
                       .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
            return;
        }
        appendEscaped<false>(out, text, firstHigh, escapedBytes);
    }
    out += '"';
}

} // namespace quorvane
