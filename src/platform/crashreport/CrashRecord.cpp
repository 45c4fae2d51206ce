#include "CrashRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <system_error>
#include <tuple>

namespace quorvane {

namespace {

namespace fs = std::filesystem;

struct SignalText {
    int number;
    std::string_view name;
    std::string_view description;
};

constexpr std::array<SignalText, 5> fatalSignals{{
    {SIGSEGV, "SIGSEGV", "Segmentation fault"},
    {SIGBUS, "SIGBUS", "Bus error"},
    {SIGILL, "SIGILL", "Illegal instruction"},
    {SIGFPE, "SIGFPE", "Floating-point exception"},
    {SIGABRT, "SIGABRT", "Aborted"},
}};

const SignalText* findSignal(int signal) {
    const auto found =
        std::find_if(fatalSignals.begin(), fatalSignals.end(),
                     [signal](const SignalText& text) { return text.number == signal; });
    return found == fatalSignals.end() ? nullptr : &*found;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

template <typename Number>
std::optional<Number> parseNumber(std::string_view text, int base) {
    Number value{};
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> parseAddress(std::string_view text) {
    if (text.substr(0, 2) != "0x") {
        return std::nullopt;
    }
    return parseNumber<std::uint64_t>(text.substr(2), 16);
}

bool isBuildId(std::string_view text) {
    return text.size() % 2 == 0 && text.size() <= 128 &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The next space-separated word of the text, which loses it and the space after it.
std::string_view nextWord(std::string_view& text) {
    const auto space = text.find(' ');
    const auto word = text.substr(0, space);
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    return word;
}

std::optional<CrashImage> parseImage(std::string_view value) {
    const auto address = parseAddress(nextWord(value));
    const auto size = parseAddress(nextWord(value));
    const auto buildId = nextWord(value);
    if (!address || !size || value.empty() || (buildId != "-" && !isBuildId(buildId))) {
        return std::nullopt;
    }
    return CrashImage{*address, *size, buildId == "-" ? std::string() : std::string(buildId),
                      std::string(value)};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

// Applies one "key value" line; false when the line does not belong in a record.
bool apply(std::string_view line, CrashRecord& record, bool& hasSignal, bool& hasTime,
           bool& hasRelease) {
    const auto space = line.find(' ');
    const auto key = line.substr(0, space);
    const auto value =
        space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (key == "frame") {
        const auto address = parseAddress(value);
        if (!address || record.frames.size() == CrashRecord::maxFrames) {
            return false;
        }
        record.frames.push_back(*address);
        return true;
    }
    if (key == "image") {
        auto image = parseImage(value);
        if (!image || record.images.size() == CrashRecord::maxImages) {
            return false;
        }
        record.images.push_back(std::move(*image));
        return true;
    }
    if (key == "signal" && !hasSignal) {
        const auto signal = parseNumber<int>(value, 10);
        hasSignal = signal && CrashRecord::signalName(*signal);
        record.signal = signal.value_or(0);
        return hasSignal;
    }
    if (key == "time" && !hasTime && allDigits(value)) {
        const auto milliseconds = parseNumber<std::int64_t>(value, 10);
        hasTime = milliseconds.has_value();
        record.time = std::chrono::system_clock::time_point(
            std::chrono::milliseconds(milliseconds.value_or(0)));
        return hasTime;
    }
    if (key == "release" && !hasRelease && space != std::string_view::npos) {
        hasRelease = true;
        record.release = std::string(value);
        return true;
    }
    return false;
}

// Only a regular file of this user's is read: anyone else who can put a file in the folder
// could otherwise have their own events sent as this user's crashes.
bool isOwnRegularFile(const struct stat& status) {
    return S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
}

// The whole file, or nothing when it cannot be read or is larger than any record.
std::optional<std::string> readToEnd(int descriptor) {
    std::string text;
    char chunk[16384];
    while (text.size() <= CrashRecord::maxFileSize) {
        const auto count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return text;
        }
        text.append(chunk, static_cast<std::size_t>(count));
    }
    return std::nullopt;
}

std::optional<std::string> readOwnFile(const fs::path& file) {
    struct stat status {};
    // Looked at before opening, so that no FIFO or device is ever opened.
    if (::lstat(file.c_str(), &status) != 0 || !isOwnRegularFile(status)) {
        return std::nullopt;
    }
    const int descriptor =
        ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    // Looked at again, as the file may have been replaced in between.
    if (::fstat(descriptor, &status) == 0 && isOwnRegularFile(status)) {
        text = readToEnd(descriptor);
    }
    ::close(descriptor);
    return text;
}

constexpr std::string_view namePrefix = "crash-";
constexpr std::string_view nameSuffix = ".record";

// "<milliseconds>-<pid>" of a record file's name.
std::string_view numbersOf(std::string_view name) {
    return name.substr(namePrefix.size(), name.size() - namePrefix.size() - nameSuffix.size());
}

struct RecordFile {
    fs::path path;
    // From the name: when it was written, and by which process.
    std::uint64_t time = 0;
    std::uint64_t process = 0;
};

std::vector<RecordFile> recordFiles(const fs::path& directory) {
    std::vector<RecordFile> files;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        const auto name = entry->path().filename().string();
        if (!CrashRecord::isRecordFileName(name)) {
            continue;
        }
        const auto middle = numbersOf(name);
        const auto dash = middle.find('-');
        files.push_back({entry->path(),
                         parseNumber<std::uint64_t>(middle.substr(0, dash), 10).value_or(0),
                         parseNumber<std::uint64_t>(middle.substr(dash + 1), 10).value_or(0)});
    }
    // By number, not by text: "crash-999-…" is older than "crash-1000-…".
    std::sort(files.begin(), files.end(), [](const RecordFile& a, const RecordFile& b) {
        return std::tie(a.time, a.process, a.path) < std::tie(b.time, b.process, b.path);
    });
    return files;
}

} // namespace

std::optional<CrashRecord> CrashRecord::parse(std::string_view text) {
    const auto lines = splitLines(text);
    if (lines.size() < 2 || lines.front() != firstLine || lines.back() != lastLine) {
        return std::nullopt;
    }
    CrashRecord record;
    bool hasSignal = false;
    bool hasTime = false;
    bool hasRelease = false;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (!apply(lines[i], record, hasSignal, hasTime, hasRelease)) {
            return std::nullopt;
        }
    }
    if (!hasSignal || !hasTime || !hasRelease || record.frames.empty()) {
        return std::nullopt;
    }
    return record;
}

std::string CrashRecord::imageLine(const CrashImage& image) {
    char numbers[64];
    auto* end = numbers;
    *end++ = '0';
    *end++ = 'x';
    end = std::to_chars(end, numbers + sizeof numbers, image.address, 16).ptr;
    *end++ = ' ';
    *end++ = '0';
    *end++ = 'x';
    end = std::to_chars(end, numbers + sizeof numbers, image.size, 16).ptr;
    std::string line = "image " + std::string(numbers, end) + " ";
    line += image.buildId.empty() ? "-" : image.buildId;
    line += ' ';
    for (const char c : image.path) {
        line.push_back(std::iscntrl(static_cast<unsigned char>(c)) ? '?' : c);
    }
    line += '\n';
    return line;
}

std::optional<std::string_view> CrashRecord::signalName(int signal) {
    const auto* text = findSignal(signal);
    if (!text) {
        return std::nullopt;
    }
    return text->name;
}

std::string_view CrashRecord::signalDescription(int signal) {
    const auto* text = findSignal(signal);
    return text ? text->description : std::string_view("Fatal signal");
}

bool CrashRecord::isRecordFileName(std::string_view name) {
    if (name.size() <= namePrefix.size() + nameSuffix.size() || !name.starts_with(namePrefix) ||
        !name.ends_with(nameSuffix)) {
        return false;
    }
    const auto middle = numbersOf(name);
    const auto dash = middle.find('-');
    return dash != std::string_view::npos && allDigits(middle.substr(0, dash)) &&
           allDigits(middle.substr(dash + 1));
}

std::vector<StoredCrashRecord> CrashRecord::readAll(const fs::path& directory) {
    std::vector<StoredCrashRecord> records;
    for (const auto& file : recordFiles(directory)) {
        const auto text = readOwnFile(file.path);
        auto record = text ? parse(*text) : std::nullopt;
        if (!record) {
            remove(file.path);
            continue;
        }
        records.push_back({file.path, std::move(*record)});
    }
    if (records.size() > maxPending) {
        const auto oldest = records.end() - static_cast<std::ptrdiff_t>(maxPending);
        for (auto stale = records.begin(); stale != oldest; ++stale) {
            remove(stale->file);
        }
        records.erase(records.begin(), oldest);
    }
    return records;
}

// Never a folder, and never what a link points to: unlink alone. Where the folder is not ours
// to change, the file stays.
void CrashRecord::remove(const fs::path& file) {
    ::unlink(file.c_str());
}

std::size_t CrashRecord::discardAll(const fs::path& directory) {
    const auto files = recordFiles(directory);
    for (const auto& file : files) {
        remove(file.path);
    }
    return files.size();
}

} // namespace quorvane
