// Keeps a stored value that this version cannot decode whole (a list with an
// item a newer version wrote, a hand edit gone wrong) from being destroyed by
// the first save that replaces it.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvane {

class UserDefaults;

namespace UnreadableValue {

// Each copy may be megabytes, and the settings file must stay small enough to
// be saved: the side key and the side key followed by "-2" and "-3".
inline constexpr std::size_t sideCopies = 3;

// Copies the value under the key, of whatever type, to the side key; when an
// earlier, different copy is there already it is kept and this one goes to
// the next free one of the side copies, or replaces the last when all are
// taken. When the file has no room for the copy, the other side copies are
// removed, the latest first, until it has. One log line tells where each
// copy went and one what was removed. False when the copy could not be saved
// even so: the value must not be replaced then.
bool keepAside(UserDefaults& defaults, std::string_view key, std::string_view sideKey);

} // namespace UnreadableValue

} // namespace quorvane
