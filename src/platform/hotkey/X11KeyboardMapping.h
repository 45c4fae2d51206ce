#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvane {

// The X server's keyboard mapping (keysyms per key code, as GetKeyboardMapping returns it), for
// finding the key that types a keysym.
class X11KeyboardMapping {
public:
    X11KeyboardMapping() = default;
    X11KeyboardMapping(std::uint8_t minKeycode, std::uint8_t keysymsPerKeycode,
                       std::vector<std::uint32_t> keysyms);

    // A key that carries the keysym without any shift level first, so that "e" finds the E key
    // rather than a key whose third level happens to be an e; the lowest such key code wins.
    std::optional<std::uint8_t> keycode(std::uint32_t keysym) const;

private:
    std::optional<std::uint8_t> search(std::uint32_t keysym, bool baseLevelOnly) const;

    std::uint8_t minKeycode_ = 0;
    std::uint8_t keysymsPerKeycode_ = 0;
    std::vector<std::uint32_t> keysyms_;
};

} // namespace quorvane
