#include "shell/InstanceAddress.h"

#include "platform/files/UserDirectories.h"
#include "platform/localsocket/LocalSocketConnection.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <utility>

namespace quorvane {

namespace {

std::string temporaryDirectory() {
    const char* variable = std::getenv("TMPDIR");
    std::string path = variable != nullptr && variable[0] != '\0' ? variable : "/tmp";
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string userName() {
    if (auto entry = UserDirectories::passwordEntry(::geteuid()); entry && !entry->name.empty()) {
        return std::move(entry->name);
    }
    return std::to_string(::geteuid());
}

} // namespace

std::string InstanceAddress::runtimeDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    return temporaryDirectory() + "/runtime-" + userName();
}

InstanceAddress::InstanceAddress(std::string directory)
    : directory_(std::move(directory))
    , socket_(SocketAddress::inDirectory(directory_, "quorvane.socket")) {}

std::string InstanceAddress::lockFilePath() const {
    return directory_ + "/quorvane.lock";
}

bool InstanceAddress::sendReopen() const {
    if (!socket_.address) {
        return false;
    }
    const auto connection = LocalSocketConnection::connect(*socket_.address);
    return connection && connection->writeAll(reopenMessage, std::chrono::seconds(1));
}

} // namespace quorvane
