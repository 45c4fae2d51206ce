// The machine's identity as 16 bytes, read from the systemd machine id
// (/etc/machine-id, else the D-Bus copy in /var/lib/dbus/machine-id): 32 hex
// digits, optionally followed by a line feed.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace quorvane {

class HostIdentity {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    struct Reading {
        Bytes bytes{};
        // 0 when a source was read; otherwise the error number of the last
        // source tried (EINVAL for content that is not a machine id), and
        // bytes are all zero.
        int error = 0;
    };

    // The system's two machine-id files, in lookup order.
    HostIdentity();
    // Other files, in lookup order (tests, other layouts).
    explicit HostIdentity(std::vector<std::filesystem::path> sources);

    const std::vector<std::filesystem::path>& sources() const { return sources_; }

    // The first source that reads as a machine id wins.
    Reading read() const;

private:
    std::vector<std::filesystem::path> sources_;
};

} // namespace quorvane
