#include "PrivateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace quorvane::PrivateFile {

namespace {

constexpr mode_t directoryMode = 0700;
constexpr mode_t fileMode = 0600;
// mkostemp replaces exactly these six characters with letters and digits.
constexpr std::string_view temporarySuffix = "XXXXXX";

std::error_code lastError() {
    return {errno, std::generic_category()};
}

Stamp stampFrom(const struct stat& status) {
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

std::string temporaryPrefix(const std::filesystem::path& file) {
    return "." + file.filename().string() + ".";
}

bool isTemporaryName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + temporarySuffix.size() || !name.starts_with(prefix)) {
        return false;
    }
    const auto suffix = name.substr(prefix.size());
    return std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

std::error_code writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

void syncDirectory(const std::filesystem::path& directory) {
    const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    ::fsync(descriptor);
    ::close(descriptor);
}

Contents failure(Contents::Outcome outcome, std::error_code error = lastError()) {
    Contents contents;
    contents.outcome = outcome;
    contents.error = error;
    return contents;
}

} // namespace

bool Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

std::optional<Stamp> stampOf(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return stampFrom(status);
}

Contents read(const std::filesystem::path& file, std::size_t maximumSize) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        const bool absent = errno == ENOENT || errno == ENOTDIR;
        return failure(absent ? Contents::Outcome::absent : Contents::Outcome::unopenable);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        auto contents = failure(Contents::Outcome::failed);
        ::close(descriptor);
        return contents;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return failure(Contents::Outcome::notRegular, {});
    }
    Contents contents;
    contents.stamp = stampFrom(status);
    if (static_cast<std::size_t>(status.st_size) > maximumSize) {
        ::close(descriptor);
        contents.outcome = Contents::Outcome::tooLarge;
        return contents;
    }
    contents.bytes.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    // The file may grow while it is read; one byte past the limit is enough to tell.
    while (contents.bytes.size() <= maximumSize) {
        const ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            contents = failure(Contents::Outcome::failed);
            ::close(descriptor);
            return contents;
        }
        if (count == 0) {
            break;
        }
        contents.bytes.append(chunk, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    if (contents.bytes.size() > maximumSize) {
        contents.bytes.clear();
        contents.outcome = Contents::Outcome::tooLarge;
        return contents;
    }
    contents.outcome = Contents::Outcome::read;
    return contents;
}

std::error_code writeAtomically(const std::filesystem::path& file, std::string_view bytes,
                                Stamp* written) {
    if (file.filename().empty()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const auto directory = file.parent_path();
    createPrivateDirectories(directory);
    std::string temporary =
        (directory / (temporaryPrefix(file) + std::string(temporarySuffix))).string();
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return lastError();
    }
    std::error_code error;
    if (::fchmod(descriptor, fileMode) != 0) {
        error = lastError();
    }
    if (!error) {
        error = writeAll(descriptor, bytes);
    }
    if (!error && ::fsync(descriptor) != 0) {
        error = lastError();
    }
    struct stat status {};
    if (!error && ::fstat(descriptor, &status) != 0) {
        error = lastError();
    }
    if (::close(descriptor) != 0 && !error) {
        error = lastError();
    }
    if (!error && ::rename(temporary.c_str(), file.c_str()) != 0) {
        error = lastError();
    }
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // Makes the rename itself durable; the new file is in place either way.
    syncDirectory(directory);
    if (written != nullptr) {
        *written = stampFrom(status);
    }
    return {};
}

void removeStaleTemporaries(const std::filesystem::path& file) {
    const auto prefix = temporaryPrefix(file);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
        const auto name = entry.path().filename().string();
        std::error_code ignored;
        if (isTemporaryName(name, prefix) && entry.is_regular_file(ignored)) {
            ::unlink(entry.path().c_str());
        }
    }
}

void createPrivateDirectories(const std::filesystem::path& directory) {
    std::filesystem::path partial;
    for (const auto& component : directory) {
        partial /= component;
        if (::mkdir(partial.c_str(), directoryMode) == 0) {
            // The umask may have taken bits away; the mode must be exact.
            ::chmod(partial.c_str(), directoryMode);
        }
    }
}

} // namespace quorvane::PrivateFile
