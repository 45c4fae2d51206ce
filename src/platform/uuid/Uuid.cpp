#include "Uuid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace quorvane {

namespace {

constexpr char upperDigits[] = "0123456789ABCDEF";
constexpr char lowerDigits[] = "0123456789abcdef";

void fillRandom(Uuid::Bytes& bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("getrandom failed");
        }
        filled += static_cast<std::size_t>(got);
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isDashPosition(std::size_t index) {
    return index == 8 || index == 13 || index == 18 || index == 23;
}

} // namespace

Uuid Uuid::random() {
    Bytes bytes{};
    fillRandom(bytes);
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    Bytes bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDashPosition(i)) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const int value = hexValue(text[i]);
        if (value < 0) {
            return std::nullopt;
        }
        auto& byte = bytes[nibble / 2];
        byte = static_cast<std::uint8_t>(nibble % 2 == 0 ? value << 4 : byte | value);
        ++nibble;
    }
    return Uuid(bytes);
}

std::string Uuid::uuidString() const {
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text.push_back('-');
        }
        text.push_back(upperDigits[bytes_[i] >> 4]);
        text.push_back(upperDigits[bytes_[i] & 0x0F]);
    }
    return text;
}

std::string Uuid::compactLowercase() const {
    std::string text;
    text.reserve(32);
    for (const auto byte : bytes_) {
        text.push_back(lowerDigits[byte >> 4]);
        text.push_back(lowerDigits[byte & 0x0F]);
    }
    return text;
}

} // namespace quorvane
