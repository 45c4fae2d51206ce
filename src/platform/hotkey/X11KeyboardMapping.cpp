#include "X11KeyboardMapping.h"

#include <utility>

namespace quorvane {

X11KeyboardMapping::X11KeyboardMapping(std::uint8_t minKeycode, std::uint8_t keysymsPerKeycode,
                                       std::vector<std::uint32_t> keysyms)
    : minKeycode_(minKeycode)
    , keysymsPerKeycode_(keysymsPerKeycode)
    , keysyms_(std::move(keysyms)) {}

std::optional<std::uint8_t> X11KeyboardMapping::keycode(std::uint32_t keysym) const {
    if (keysym == 0 || keysymsPerKeycode_ == 0) {
        return std::nullopt;
    }
    if (auto found = search(keysym, true)) {
        return found;
    }
    return search(keysym, false);
}

std::optional<std::uint8_t> X11KeyboardMapping::search(std::uint32_t keysym,
                                                       bool baseLevelOnly) const {
    const std::size_t width = keysymsPerKeycode_;
    const std::size_t keys = keysyms_.size() / width;
    for (std::size_t key = 0; key < keys; ++key) {
        const std::size_t columns = baseLevelOnly ? 1 : width;
        for (std::size_t column = 0; column < columns; ++column) {
            if (keysyms_[key * width + column] != keysym) {
                continue;
            }
            const std::size_t code = minKeycode_ + key;
            if (code > 255) {
                return std::nullopt;
            }
            return static_cast<std::uint8_t>(code);
        }
    }
    return std::nullopt;
}

} // namespace quorvane
