#include "RotatingFileSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace quorvane {

namespace {

constexpr mode_t fileMode = 0600;

// The descriptor and size of the file opened for appending; -1 when it is not
// a regular file or cannot be opened.
int openForAppending(const std::filesystem::path& file, std::size_t& size) {
    const int descriptor = ::open(
        file.c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, fileMode);
    if (descriptor < 0) {
        return -1;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return -1;
    }
    // A file an earlier version created readable by others is made private.
    ::fchmod(descriptor, fileMode);
    size = static_cast<std::size_t>(status.st_size);
    return descriptor;
}

void writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

std::shared_ptr<RotatingFileSink>
RotatingFileSink::open(std::filesystem::path file, std::size_t maximumSize, std::size_t keptFiles) {
    std::size_t size = 0;
    const int descriptor = openForAppending(file, size);
    if (descriptor < 0) {
        return nullptr;
    }
    return std::make_shared<RotatingFileSink>(std::move(file), maximumSize, keptFiles, descriptor,
                                              size);
}

RotatingFileSink::RotatingFileSink(std::filesystem::path file, std::size_t maximumSize,
                                   std::size_t keptFiles, int descriptor, std::size_t size)
    : file_(std::move(file))
    , maximumSize_(maximumSize)
    , keptFiles_(keptFiles)
    , descriptor_(descriptor)
    , size_(size) {}

RotatingFileSink::~RotatingFileSink() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

std::filesystem::path RotatingFileSink::rotatedName(const std::filesystem::path& file,
                                                    std::size_t index) {
    if (index == 0) {
        return file;
    }
    auto name = file.stem().string() + "." + std::to_string(index) + file.extension().string();
    return file.parent_path() / name;
}

void RotatingFileSink::sink_it_(const spdlog::details::log_msg& message) {
    spdlog::memory_buf_t formatted;
    formatter_->format(message, formatted);
    if (size_ > 0 && size_ + formatted.size() > maximumSize_) {
        rotate();
    }
    if (descriptor_ < 0) {
        return;
    }
    writeAll(descriptor_, std::string_view(formatted.data(), formatted.size()));
    size_ += formatted.size();
}

void RotatingFileSink::rotate() {
    ::close(descriptor_);
    descriptor_ = -1;
    for (std::size_t index = keptFiles_; index > 0; --index) {
        // rename(2) replaces the older file in one step.
        ::rename(rotatedName(file_, index - 1).c_str(), rotatedName(file_, index).c_str());
    }
    size_ = 0;
    descriptor_ = openForAppending(file_, size_);
}

} // namespace quorvane
