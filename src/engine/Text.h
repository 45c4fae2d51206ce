// Text helpers shared by the engine and the state: UTF-8 aware trimming with
// the white-space classes the rest of the system relies on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::Text {

// Trims white space and line breaks from both ends: tab through carriage
// return, U+0085 and every Unicode space, line and paragraph separator.
std::string trimmed(std::string_view text);

// Trims only horizontal white space: tab and the Unicode space separators.
// Line feeds and carriage returns stay.
std::string trimmedHorizontally(std::string_view text);

// True when trimmed(text) would be empty.
bool isBlank(std::string_view text);

bool isValidUTF8(std::string_view text);

// The number of Unicode scalar values (malformed bytes count one each).
std::size_t characterCount(std::string_view text);

// The first count Unicode scalar values of the text, never cutting a sequence.
std::string prefix(std::string_view text, std::size_t count);

} // namespace quorvane::Text
