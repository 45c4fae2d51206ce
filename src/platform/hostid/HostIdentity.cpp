#include "HostIdentity.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quorvane {

namespace {

constexpr std::size_t hexDigits = 32;
// 32 digits and a line feed; one byte more tells an over-long file apart.
constexpr std::size_t readLimit = hexDigits + 2;

std::optional<std::uint8_t> hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return static_cast<std::uint8_t>(digit - '0');
    }
    if (digit >= 'a' && digit <= 'f') {
        return static_cast<std::uint8_t>(digit - 'a' + 10);
    }
    if (digit >= 'A' && digit <= 'F') {
        return static_cast<std::uint8_t>(digit - 'A' + 10);
    }
    return std::nullopt;
}

std::optional<HostIdentity::Bytes> parse(const std::string& content) {
    const bool lineFeed = content.size() == hexDigits + 1 && content.back() == '\n';
    if (content.size() != hexDigits && !lineFeed) {
        return std::nullopt;
    }
    HostIdentity::Bytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto high = hexValue(content[2 * i]);
        const auto low = hexValue(content[2 * i + 1]);
        if (!high || !low) {
            return std::nullopt;
        }
        bytes[i] = static_cast<std::uint8_t>(*high << 4 | *low);
    }
    return bytes;
}

// The file's first readLimit bytes, or the error number of the failure.
std::variant<std::string, int> readHead(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    std::string content(readLimit, '\0');
    std::size_t filled = 0;
    while (filled < readLimit) {
        const ssize_t count = ::read(fd, content.data() + filled, readLimit - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    ::close(fd);
    content.resize(filled);
    return content;
}

} // namespace

HostIdentity::HostIdentity()
    : HostIdentity({"/etc/machine-id", "/var/lib/dbus/machine-id"}) {}

HostIdentity::HostIdentity(std::vector<std::filesystem::path> sources)
    : sources_(std::move(sources)) {}

HostIdentity::Reading HostIdentity::read() const {
    Reading reading;
    reading.error = ENOENT;
    for (const auto& source : sources_) {
        const auto head = readHead(source);
        if (const int* error = std::get_if<int>(&head)) {
            reading.error = *error;
            continue;
        }
        const auto bytes = parse(std::get<std::string>(head));
        if (!bytes) {
            reading.error = EINVAL;
            continue;
        }
        reading.bytes = *bytes;
        reading.error = 0;
        return reading;
    }
    return reading;
}

} // namespace quorvane
