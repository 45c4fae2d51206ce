// The address of a local stream socket: a path in the file system, or a name in Linux's
// abstract namespace. An abstract name has no file and therefore no permissions; whoever listens
// on or connects to one checks the user at the other end instead (LocalSocketServer,
// LocalSocketConnection).
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace quorvane {

struct SocketAddressResult;

class SocketAddress {
public:
    using Result = SocketAddressResult;

    // A path that does not fit is refused (filename_too_long) rather than cut short, which
    // would name another file; an empty one is invalid_argument.
    static Result forPath(const std::string& path);
    // A name in the abstract namespace, under the same limits.
    static Result abstract(std::string_view name);
    // The socket called name in directory: its path when that fits, otherwise an abstract name
    // made of name, this user's id and a hash of directory, so that every directory still has
    // an address of its own however long its path is.
    static Result inDirectory(const std::string& directory, std::string_view name);

    bool isAbstract() const;
    // The socket's file; empty for an abstract name.
    std::string path() const;
    // For logs: the path, or "@" and the abstract name.
    std::string describe() const;

    const sockaddr* data() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t size() const { return size_; }

private:
    SocketAddress() = default;
    static Result make(std::string_view bytes, bool abstract);

    sockaddr_un address_{};
    socklen_t size_ = 0;
};

// An address, or the reason there is none.
struct SocketAddressResult {
    std::optional<SocketAddress> address;
    std::error_code error;
};

} // namespace quorvane
