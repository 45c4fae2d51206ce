// One end of a connected local stream socket. Nonblocking throughout, so that an event loop can
// watch descriptor() and a peer that stops answering never holds this process up.
#pragma once

#include "platform/localsocket/SocketAddress.h"

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

class LocalSocketConnection {
public:
    // The most one readAvailable() call appends.
    static constexpr std::size_t maximumReadSize = std::size_t{64} * 1024;

    // Takes ownership of a connected, nonblocking socket.
    explicit LocalSocketConnection(int descriptor);
    ~LocalSocketConnection();

    LocalSocketConnection(LocalSocketConnection&& other) noexcept;
    LocalSocketConnection& operator=(LocalSocketConnection&& other) noexcept;
    LocalSocketConnection(const LocalSocketConnection&) = delete;
    LocalSocketConnection& operator=(const LocalSocketConnection&) = delete;

    // Nothing when no one listens at address, when the listener's queue is full, or when the
    // listener is not owner: at an abstract name anyone may listen.
    static std::optional<LocalSocketConnection> connect(const SocketAddress& address,
                                                        uid_t owner = ::geteuid());

    // Whether the process at the other end runs as user.
    bool peerIs(uid_t user) const;

    // Sends all of data unless the peer goes away or timeout passes first.
    bool writeAll(std::string_view data, std::chrono::milliseconds timeout) const;

    enum class ReadStatus {
        // More may come, or is already waiting beyond what one call takes.
        open,
        // The peer closed its end, or the socket failed.
        closed,
    };
    // Appends what has arrived, without waiting for more and at most maximumReadSize bytes, so
    // that a peer that never stops writing can neither hold the caller nor fill its memory. What
    // is left stays waiting, and the descriptor stays readable.
    ReadStatus readAvailable(std::string& into) const;

    int descriptor() const { return descriptor_; }

private:
    int descriptor_ = -1;
};

} // namespace quorvane
