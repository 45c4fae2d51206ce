// Where the one running copy of the program keeps its lock and listens for later launches, and
// the line those launches send it. Free of Qt: a later launch works all of this out before it
// loads any Qt library (Launcher), and the running copy (SingleInstance) must find the same place.
#pragma once

#include "platform/localsocket/SocketAddress.h"

#include <string>
#include <string_view>

namespace quorvane {

class InstanceAddress {
public:
    static constexpr std::string_view reopenMessage = "reopen\n";

    // $XDG_RUNTIME_DIR when it is set; otherwise "runtime-" and the user's name under the
    // temporary directory, the place Qt falls back to.
    static std::string runtimeDirectory();

    explicit InstanceAddress(std::string directory);

    const std::string& directory() const { return directory_; }
    std::string lockFilePath() const;
    // The socket in the directory (an abstract name when its path is too long for a socket
    // address), or why there is none.
    const SocketAddress::Result& socket() const { return socket_; }

    // Tells the copy listening here to reopen; false when no copy run by this user answers at
    // once.
    bool sendReopen() const;

private:
    std::string directory_;
    SocketAddress::Result socket_;
};

} // namespace quorvane
