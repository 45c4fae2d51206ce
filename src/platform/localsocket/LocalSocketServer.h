// A listening local stream socket that only one user can reach: at a path, its file is the
// owner's alone; at an abstract name, which has no file, every connection from another user is
// closed as it is taken. Nonblocking, so that an event loop watches descriptor() and calls
// accept() when it is readable.
#pragma once

#include "platform/localsocket/LocalSocketConnection.h"
#include "platform/localsocket/SocketAddress.h"

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <system_error>
#include <vector>

namespace quorvane {

class LocalSocketServer {
public:
    // owner is the one user whose connections are taken.
    explicit LocalSocketServer(uid_t owner = ::geteuid());
    // Stops listening and removes the socket's file.
    ~LocalSocketServer();

    LocalSocketServer(const LocalSocketServer&) = delete;
    LocalSocketServer& operator=(const LocalSocketServer&) = delete;

    // Replaces whatever file is at a path address. Nothing on success, otherwise why the socket
    // could not be made there.
    std::error_code listen(const SocketAddress& address);
    bool isListening() const { return descriptor_ >= 0; }

    // How many waiting connections one call of acceptWaiting takes by default: as many as the
    // listening queue holds.
    static constexpr std::size_t connectionsPerCall = 16;

    // Takes at most `most` of the waiting connections, closes every one of another user and
    // returns the owner's in the order they came. The rest wait for the next call (an event
    // loop's watch on a readable descriptor fires again while any wait), so another user who
    // keeps connecting cannot hold the caller here.
    std::vector<LocalSocketConnection> acceptWaiting(std::size_t most = connectionsPerCall) const;

    int descriptor() const { return descriptor_; }

private:
    void close();

    uid_t owner_;
    int descriptor_ = -1;
    std::string path_;
};

} // namespace quorvane
