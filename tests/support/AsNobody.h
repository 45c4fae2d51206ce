// Lets the calling thread touch files as a user who may not read ours. Root
// may read anything, so under root the thread's file-system uid is nobody's
// while the object lives; other users are refused by the modes themselves.
#pragma once

#include <sys/types.h>

#include <filesystem>

namespace quorvane::test {

class AsNobody {
public:
    static constexpr uid_t nobody = 65534;

    AsNobody();
    ~AsNobody();

    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;

    // Lets nobody pass through every directory from the test's private home
    // down to the directory, as far as the test may change them; false when
    // nobody still cannot reach it (a private directory above the home).
    static bool openTheWayTo(const std::filesystem::path& directory);

private:
    int previous_;
};

} // namespace quorvane::test
