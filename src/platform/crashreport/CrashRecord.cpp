#include "CrashRecord.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <csignal>
#include <fstream>
#include <iterator>
#include <system_error>

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

std::optional<CrashRecord> readRecord(const fs::path& file) {
    std::error_code error;
    const auto status = fs::symlink_status(file, error);
    if (error || !fs::is_regular_file(status) ||
        fs::file_size(file, error) > CrashRecord::maxFileSize || error) {
        return std::nullopt;
    }
    std::ifstream input(file, std::ios::binary);
    if (!input) {
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
    return CrashRecord::parse(text);
}

std::vector<fs::path> recordFiles(const fs::path& directory) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        if (CrashRecord::isRecordFileName(entry->path().filename().string())) {
            files.push_back(entry->path());
        }
    }
    std::sort(files.begin(), files.end());
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
    constexpr std::string_view prefix = "crash-";
    constexpr std::string_view suffix = ".record";
    if (name.size() <= prefix.size() + suffix.size() || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - suffix.size()) != suffix) {
        return false;
    }
    const auto middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const auto dash = middle.find('-');
    return dash != std::string_view::npos && allDigits(middle.substr(0, dash)) &&
           allDigits(middle.substr(dash + 1));
}

std::vector<CrashRecord> CrashRecord::takeAll(const fs::path& directory) {
    std::vector<CrashRecord> records;
    for (const auto& file : recordFiles(directory)) {
        auto record = readRecord(file);
        std::error_code ignored;
        fs::remove(file, ignored);
        if (record) {
            records.push_back(std::move(*record));
        }
    }
    return records;
}

std::size_t CrashRecord::discardAll(const fs::path& directory) {
    const auto files = recordFiles(directory);
    for (const auto& file : files) {
        std::error_code ignored;
        fs::remove(file, ignored);
    }
    return files.size();
}

} // namespace quorvane
