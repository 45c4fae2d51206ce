// An exclusive advisory lock (flock) on a lock file, held for the life of the
// object, so that the processes saving one file take turns. The wait for it is
// bounded: a process stuck while holding it must not freeze this one. The
// kernel releases the lock of a process that dies, so a kill never leaves it
// taken.
#pragma once

#include <chrono>
#include <filesystem>
#include <system_error>

namespace quorvane {

class FileLock {
public:
    // Far longer than any save takes.
    static constexpr std::chrono::milliseconds defaultPatience{1000};

    // Creates the lock file (mode 0600) when absent; only a regular file is
    // used as one.
    explicit FileLock(const std::filesystem::path& file,
                      std::chrono::milliseconds patience = defaultPatience);
    ~FileLock();

    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return descriptor_ >= 0; }
    // Why the lock is not held; "device or resource busy" when the wait ran out.
    std::error_code error() const { return error_; }

private:
    int descriptor_ = -1;
    std::error_code error_;
};

} // namespace quorvane
