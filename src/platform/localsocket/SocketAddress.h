// The address of a local socket at a path. A path that does not fit is refused rather than cut
// short, which would name another file.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <optional>
#include <string>

namespace quorvane {

class SocketAddress {
public:
    static std::optional<SocketAddress> forPath(const std::string& path) {
        SocketAddress result;
        if (path.empty() || path.size() >= sizeof(result.address_.sun_path)) {
            return std::nullopt;
        }
        result.address_.sun_family = AF_UNIX;
        std::memcpy(result.address_.sun_path, path.c_str(), path.size() + 1);
        return result;
    }

    const sockaddr* data() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t size() const { return sizeof(address_); }

private:
    SocketAddress() = default;

    sockaddr_un address_{};
};

} // namespace quorvane
