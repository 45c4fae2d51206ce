// A listening local stream socket at a path in the file system that only its owner can reach.
// Nonblocking, so that an event loop watches descriptor() and calls accept() when it is readable.
#pragma once

#include "platform/localsocket/LocalSocketConnection.h"

#include <optional>
#include <string>

namespace quorvane {

class LocalSocketServer {
public:
    LocalSocketServer() = default;
    // Stops listening and removes the socket's file.
    ~LocalSocketServer();

    LocalSocketServer(const LocalSocketServer&) = delete;
    LocalSocketServer& operator=(const LocalSocketServer&) = delete;

    // Replaces whatever file is at path. False when the path is too long for a socket address
    // or the socket cannot be made there.
    bool listen(const std::string& path);
    bool isListening() const { return descriptor_ >= 0; }

    // A client waiting to be taken, or nothing.
    std::optional<LocalSocketConnection> accept() const;

    int descriptor() const { return descriptor_; }

private:
    void close();

    int descriptor_ = -1;
    std::string path_;
};

} // namespace quorvane
