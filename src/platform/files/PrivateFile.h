// Reading and replacing the small private files the application keeps (the
// settings and the key file): read without ever waiting on what is not a
// regular file, replaced atomically through a temporary file of its own
// naming, and cleaned of such temporaries that a killed save left behind.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace quorvane::PrivateFile {

// What the file system says of a file's contents; two equal stamps mean the
// file was not replaced or rewritten in between.
struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::timespec modified{};

    bool operator==(const Stamp& other) const;
};

// The stamp of what lies at the path now (following a link); nothing when
// nothing does.
std::optional<Stamp> stampOf(const std::filesystem::path& file);

struct Contents {
    enum class Outcome {
        read,
        absent,
        // There, but not to be opened (permissions, a loop of links); see error.
        unopenable,
        // A FIFO, a device, a directory: never read.
        notRegular,
        // Larger than the limit; not read past it.
        tooLarge,
        // Opened, but reading failed; see error.
        failed,
    };

    Outcome outcome = Outcome::absent;
    std::string bytes;
    Stamp stamp;
    std::error_code error;
};

// The whole file when it is a regular one of at most maximumSize bytes. Opens
// without blocking, so a FIFO or a device in the file's place is refused at
// once, and never reads more than one byte past the limit.
Contents read(const std::filesystem::path& file, std::size_t maximumSize);

// Writes the bytes into a temporary file beside the target (created 0600,
// named "." + the file's name + "." + six letters or digits), flushes it to
// disk and renames it over the target, so that a reader or a crash sees the
// old file or the new one. Missing directories are created 0700. On success
// the stamp of the new file goes to `written` when given.
std::error_code writeAtomically(const std::filesystem::path& file, std::string_view bytes,
                                Stamp* written = nullptr);

// Removes the temporary files of writeAtomically's naming beside the file.
// Call it only while no save of the same file can be under way (under the
// file's lock): any such file then belongs to a save that was killed.
void removeStaleTemporaries(const std::filesystem::path& file);

// Creates each missing directory of the path with mode exactly 0700; an
// existing directory keeps its mode.
void createPrivateDirectories(const std::filesystem::path& directory);

} // namespace quorvane::PrivateFile
