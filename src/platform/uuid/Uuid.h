#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// A 128-bit identifier. Random ones are version 4 with bytes from the kernel's
// random source; the text form is the canonical upper-case one with dashes
// ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), which is how stored values keep it.
class Uuid {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    static Uuid random();
    // Accepts the 36-character form in either case; nothing otherwise.
    static std::optional<Uuid> parse(std::string_view text);

    explicit Uuid(const Bytes& bytes)
        : bytes_(bytes) {}

    const Bytes& bytes() const { return bytes_; }
    std::string uuidString() const;
    // 32 lower-case hex digits without dashes.
    std::string compactLowercase() const;

    bool operator==(const Uuid&) const = default;
    auto operator<=>(const Uuid&) const = default;

private:
    Bytes bytes_;
};

} // namespace quorvane
