#include "AsNobody.h"

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace quorvane::test {

AsNobody::AsNobody()
    : previous_(::setfsuid(::geteuid() == 0 ? nobody : ::geteuid())) {}

AsNobody::~AsNobody() {
    ::setfsuid(static_cast<uid_t>(previous_));
}

bool AsNobody::openTheWayTo(const std::filesystem::path& directory) {
    const std::filesystem::path home = std::filesystem::path(std::getenv("TMPDIR")).parent_path();
    auto relative = directory.lexically_relative(home);
    std::filesystem::path way = home;
    ::chmod(way.c_str(), 0711);
    for (const auto& component : relative) {
        way /= component;
        ::chmod(way.c_str(), 0711);
    }
    const AsNobody reader;
    struct stat status {};
    return ::stat(directory.c_str(), &status) == 0;
}

} // namespace quorvane::test
