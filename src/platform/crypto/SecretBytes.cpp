#include "SecretBytes.h"

#include <openssl/crypto.h>

#include <utility>

namespace quorvane {

SecretBytes::SecretBytes(std::size_t size)
    : bytes_(size) {}

SecretBytes::SecretBytes(std::span<const std::uint8_t> bytes)
    : bytes_(bytes.begin(), bytes.end()) {}

SecretBytes::~SecretBytes() {
    wipe();
}

SecretBytes::SecretBytes(const SecretBytes& other)
    : bytes_(other.bytes_) {}

SecretBytes& SecretBytes::operator=(const SecretBytes& other) {
    if (this != &other) {
        wipe();
        bytes_ = other.bytes_;
    }
    return *this;
}

// Moving hands the buffer over whole, so no copy of the secret is left behind.
SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : bytes_(std::move(other.bytes_)) {
    other.bytes_.clear();
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        wipe();
        bytes_ = std::move(other.bytes_);
        other.bytes_.clear();
    }
    return *this;
}

void SecretBytes::cleanse(void* data, std::size_t size) {
    if (data != nullptr && size != 0) {
        OPENSSL_cleanse(data, size);
    }
}

void SecretBytes::wipe() {
    if (!bytes_.empty()) {
        OPENSSL_cleanse(bytes_.data(), bytes_.size());
    }
    bytes_.clear();
}

} // namespace quorvane
