// What the crash handler writes down when the program dies of a fatal signal, read back at the
// next start to be reported. A record is a small text file, one "key value" pair a line:
//
//   quorvane-crash 1
//   signal 11
//   time 1718000000250                                   milliseconds since the epoch
//   release 1.2.0
//   image 0x7f12a0000000 0x1c000 3f2a...|- libfoo.so.1   load address, size, build id, path
//   frame 0x7f12a0001234                                 innermost first
//   end
//
// It holds addresses and file names only: nothing the user wrote, no key, no path under the
// home folder. A file that does not end with "end" was cut short and is not a record.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// One program or shared object mapped into the crashed process.
struct CrashImage {
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    // The GNU build id in lower-case hex; empty when the image has none.
    std::string buildId;
    std::string path;

    bool operator==(const CrashImage&) const = default;
};

struct StoredCrashRecord;

struct CrashRecord {
    static constexpr std::string_view firstLine = "quorvane-crash 1";
    static constexpr std::string_view lastLine = "end";
    static constexpr std::size_t maxFrames = 256;
    static constexpr std::size_t maxImages = 1024;
    // Larger files are no record of ours.
    static constexpr std::uintmax_t maxFileSize = 1024 * 1024;
    // At most this many records wait to be reported, the newest; a record that keeps failing
    // to go out must not fill the folder.
    static constexpr std::size_t maxPending = 10;

    int signal = 0;
    std::chrono::system_clock::time_point time;
    std::string release;
    // The crashing thread's instruction addresses, the faulting one first.
    std::vector<std::uint64_t> frames;
    std::vector<CrashImage> images;

    bool operator==(const CrashRecord&) const = default;

    // Nothing unless the text is a whole record of a fatal signal with at least one frame.
    static std::optional<CrashRecord> parse(std::string_view text);

    // The image's line as the handler writes it, line feed included. Characters that would
    // break the line (control characters) are written as "?".
    static std::string imageLine(const CrashImage& image);

    // "SIGSEGV" and the like for the five fatal signals the handler catches; nothing otherwise.
    static std::optional<std::string_view> signalName(int signal);
    // "Segmentation fault" and the like, for the same five.
    static std::string_view signalDescription(int signal);

    // Record files are named "crash-<milliseconds>-<pid>.record".
    static bool isRecordFileName(std::string_view name);

    // Reads the record files in the folder and returns the sound ones, oldest first, leaving
    // their files in place for the caller to delete once they are reported. Only regular files
    // of this user are read, so nobody else can have events sent in this user's name; other
    // record files are deleted where the folder allows it, and so are the records that are not
    // sound and the oldest beyond maxPending. Other files are left alone.
    static std::vector<StoredCrashRecord> readAll(const std::filesystem::path& directory);
    // Deletes a record file, once its record is reported.
    static void remove(const std::filesystem::path& file);
    // Deletes every record file in the folder unread; returns how many there were.
    static std::size_t discardAll(const std::filesystem::path& directory);
};

// A sound record and the file it was read from.
struct StoredCrashRecord {
    std::filesystem::path file;
    CrashRecord record;
};

} // namespace quorvane
