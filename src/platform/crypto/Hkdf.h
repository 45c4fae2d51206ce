#pragma once

#include "SecretBytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quorvane {

// HKDF (extract then expand) over HMAC-SHA256.
class Hkdf {
public:
    // Nothing when the library refuses, e.g. for a length above 255 * 32 bytes.
    static std::optional<SecretBytes> sha256(std::span<const std::uint8_t> inputKeyMaterial,
                                             std::span<const std::uint8_t> salt,
                                             std::span<const std::uint8_t> info,
                                             std::size_t length);
};

} // namespace quorvane
