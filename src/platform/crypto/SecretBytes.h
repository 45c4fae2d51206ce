// A byte buffer for key material and decrypted secrets: its contents are
// wiped before the memory goes back to the allocator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvane {

class SecretBytes {
public:
    SecretBytes() = default;
    explicit SecretBytes(std::size_t size);
    explicit SecretBytes(std::span<const std::uint8_t> bytes);
    ~SecretBytes();

    SecretBytes(const SecretBytes& other);
    SecretBytes& operator=(const SecretBytes& other);
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;

    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // Overwrites memory that held a secret outside a SecretBytes, in a way
    // the compiler may not drop as a dead store.
    static void cleanse(void* data, std::size_t size);

private:
    void wipe();

    std::vector<std::uint8_t> bytes_;
};

} // namespace quorvane
