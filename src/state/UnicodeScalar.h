// The few single-character Unicode operations key labels need: taking the first scalar of a
// UTF-8 text, classifying and upper-casing it, and writing a scalar back as UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::UnicodeScalar {

// The first scalar value of the text; nothing for empty text or a malformed first sequence.
std::optional<char32_t> first(std::string_view utf8);

// Letters and numbers of every script, not only ASCII.
bool isLetterOrNumber(char32_t scalar);

// The simple (one-to-one) upper-case mapping; scalars without one map to themselves.
char32_t uppercased(char32_t scalar);

std::string toUTF8(char32_t scalar);

} // namespace quorvane::UnicodeScalar
