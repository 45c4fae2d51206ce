// Keeps a stored value that this version cannot decode whole (a list with an
// item a newer version wrote, a hand edit gone wrong) from being destroyed by
// the first save that replaces it.
#pragma once

#include <string_view>

namespace quorvane {

class UserDefaults;

namespace UnreadableValue {

// Copies the value under the key, of whatever type, to the side key; when an
// earlier, different copy is there already it is kept and this one goes to
// the side key followed by "-2", "-3" and so on. One log line tells where.
// False when the copy could not be saved: the value must not be replaced then.
bool keepAside(UserDefaults& defaults, std::string_view key, std::string_view sideKey);

} // namespace UnreadableValue

} // namespace quorvane
