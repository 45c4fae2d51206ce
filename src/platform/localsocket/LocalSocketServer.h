// A listening local stream socket that only one user can reach: at a path, its file is the
// owner's alone; at an abstract name, which has no file, every connection from another user is
// closed as it is taken. Nonblocking, so that an event loop watches descriptor() and calls
// accept() when it is readable.
#pragma once

#include "platform/localsocket/LocalSocketConnection.h"
#include "platform/localsocket/SocketAddress.h"

#include <sys/types.h>
#include <unistd.h>

#include <optional>
#include <system_error>

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

    // The owner's next waiting client, or nothing.
    std::optional<LocalSocketConnection> accept() const;

    int descriptor() const { return descriptor_; }

private:
    void close();

    uid_t owner_;
    int descriptor_ = -1;
    std::string path_;
};

} // namespace quorvane
