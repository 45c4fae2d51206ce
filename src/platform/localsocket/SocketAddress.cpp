#include "platform/localsocket/SocketAddress.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quorvane {

namespace {

constexpr std::size_t pathCapacity = sizeof(sockaddr_un::sun_path);

// FNV-1a: the hash only has to keep apart the directories one user runs the program from.
std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : text) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ULL;
    }
    return hash;
}

} // namespace

SocketAddress::Result SocketAddress::make(std::string_view bytes, bool abstract) {
    // A path needs room for its terminating zero, an abstract name for its leading one.
    if (bytes.empty()) {
        return {.address = std::nullopt,
                .error = std::make_error_code(std::errc::invalid_argument)};
    }
    if (bytes.size() + 1 > pathCapacity) {
        return {.address = std::nullopt,
                .error = std::make_error_code(std::errc::filename_too_long)};
    }
    SocketAddress result;
    result.address_.sun_family = AF_UNIX;
    char* const start = result.address_.sun_path + (abstract ? 1 : 0);
    std::memcpy(start, bytes.data(), bytes.size());
    result.size_ = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + bytes.size() + 1);
    return {.address = result, .error = {}};
}

SocketAddress::Result SocketAddress::forPath(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        return {.address = std::nullopt,
                .error = std::make_error_code(std::errc::invalid_argument)};
    }
    return make(path, false);
}

SocketAddress::Result SocketAddress::abstract(std::string_view name) {
    return make(name, true);
}

SocketAddress::Result SocketAddress::inDirectory(const std::string& directory,
                                                 std::string_view name) {
    auto inFileSystem = forPath(directory + "/" + std::string(name));
    if (inFileSystem.error != std::errc::filename_too_long) {
        return inFileSystem;
    }
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "-%u-%016llx", static_cast<unsigned>(::geteuid()),
                  static_cast<unsigned long long>(hashOf(directory)));
    return abstract(std::string(name) + suffix);
}

bool SocketAddress::isAbstract() const {
    return size_ > offsetof(sockaddr_un, sun_path) && address_.sun_path[0] == '\0';
}

std::string SocketAddress::path() const {
    return isAbstract() ? std::string() : std::string(address_.sun_path);
}

std::string SocketAddress::describe() const {
    if (!isAbstract()) {
        return path();
    }
    const auto length = size_ - offsetof(sockaddr_un, sun_path) - 1;
    return "@" + std::string(address_.sun_path + 1, length);
}

} // namespace quorvane
