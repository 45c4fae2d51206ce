// AES-256-GCM sealed boxes in their combined form: the 12-byte nonce, the
// ciphertext (as long as the plaintext) and the 16-byte tag, with no
// additional authenticated data.
#pragma once

#include "SecretBytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quorvane {

class AesGcm {
public:
    static constexpr std::size_t keySize = 32;
    static constexpr std::size_t nonceSize = 12;
    static constexpr std::size_t tagSize = 16;
    static constexpr std::size_t minimumBoxSize = nonceSize + tagSize;

    using Nonce = std::array<std::uint8_t, nonceSize>;

    // Seals under a nonce drawn fresh from the random generator. Nothing when
    // the key is not 32 bytes or the library fails.
    static std::optional<std::vector<std::uint8_t>> seal(std::span<const std::uint8_t> key,
                                                         std::span<const std::uint8_t> plaintext);

    // Seals under the given nonce. Reusing a nonce under one key breaks GCM,
    // so this exists for known-answer checks; everything else calls seal().
    static std::optional<std::vector<std::uint8_t>>
    sealWithNonce(std::span<const std::uint8_t> key, const Nonce& nonce,
                  std::span<const std::uint8_t> plaintext);

    // Authenticated decryption of a combined box. Nothing when the box is
    // shorter than nonce and tag, the key is not 32 bytes or the tag does not
    // match (wrong key, altered bytes).
    static std::optional<SecretBytes> open(std::span<const std::uint8_t> key,
                                           std::span<const std::uint8_t> box);
};

} // namespace quorvane
