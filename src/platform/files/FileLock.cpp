#include "FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace quorvane {

namespace {

constexpr std::chrono::milliseconds retryInterval{5};

std::error_code lastError() {
    return {errno, std::generic_category()};
}

} // namespace

FileLock::FileLock(const std::filesystem::path& file, std::chrono::milliseconds patience) {
    const int descriptor =
        ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (descriptor < 0) {
        error_ = lastError();
        return;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        error_ = std::make_error_code(std::errc::invalid_argument);
        ::close(descriptor);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            error_ = errno == EWOULDBLOCK ? std::make_error_code(std::errc::device_or_resource_busy)
                                          : lastError();
            ::close(descriptor);
            return;
        }
        std::this_thread::sleep_for(retryInterval);
    }
    descriptor_ = descriptor;
}

FileLock::~FileLock() {
    if (descriptor_ >= 0) {
        // Closing the last descriptor of the open file releases the lock.
        ::close(descriptor_);
    }
}

} // namespace quorvane
