#include "AutostartEntry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace quorvane {

namespace {

constexpr std::string_view desktopEntryGroup = "[Desktop Entry]";

std::string_view trimmedSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string systemMessage(int code) {
    return std::error_code(code, std::generic_category()).message();
}

[[noreturn]] void fail(std::string_view what, const std::filesystem::path& path, int code) {
    throw std::runtime_error(std::string(what) + " " + path.string() + ": " + systemMessage(code));
}

// A value of the [Desktop Entry] group, or nothing when the key is absent.
std::optional<std::string> desktopEntryValue(std::istream& input, std::string_view key) {
    bool inGroup = false;
    std::optional<std::string> found;
    std::string line;
    while (std::getline(input, line)) {
        const auto content = trimmedSpaces(line);
        if (content.empty() || content.front() == '#') {
            continue;
        }
        if (content.front() == '[') {
            inGroup = content == desktopEntryGroup;
            continue;
        }
        const auto equals = content.find('=');
        if (!inGroup || equals == std::string_view::npos) {
            continue;
        }
        if (trimmedSpaces(content.substr(0, equals)) == key) {
            found = std::string(trimmedSpaces(content.substr(equals + 1)));
        }
    }
    return found;
}

std::optional<std::string> entryValue(const std::filesystem::path& file, std::string_view key) {
    std::ifstream input(file);
    return desktopEntryValue(input, key);
}

void writeAll(int fd, const std::string& text, const std::filesystem::path& path) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("Could not write", path, errno);
        }
        written += static_cast<std::size_t>(count);
    }
}

// Written next to the target, flushed to disk and renamed over it, so that
// neither a session starting meanwhile nor one after a power cut reads half
// an entry.
void writeFileAtomically(const std::filesystem::path& target, const std::string& text) {
    std::string temporary = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        fail("Could not write", target, errno);
    }
    int code = 0;
    try {
        if (::fchmod(fd, 0644) != 0) {
            fail("Could not write", target, errno);
        }
        writeAll(fd, text, target);
        if (::fsync(fd) != 0) {
            fail("Could not write", target, errno);
        }
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        code = errno;
    } else if (::rename(temporary.c_str(), target.c_str()) != 0) {
        code = errno;
    }
    if (code != 0) {
        ::unlink(temporary.c_str());
        fail("Could not write", target, code);
    }
}

// The string-value escapes of the desktop entry format.
void appendStringEscaped(std::string& out, char c) {
    switch (c) {
    case '\\':
        out += "\\\\";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\t':
        out += "\\t";
        break;
    case '\r':
        out += "\\r";
        break;
    default:
        out.push_back(c);
    }
}

} // namespace

AutostartEntry::AutostartEntry()
    : AutostartEntry(defaultEntryFile(), executableBehind("/proc/self/exe")) {}

AutostartEntry::AutostartEntry(std::filesystem::path entryFile, std::filesystem::path executable)
    : entryFile_(std::move(entryFile))
    , executable_(std::move(executable)) {}

std::filesystem::path AutostartEntry::executableBehind(const std::filesystem::path& link) {
    std::error_code error;
    const auto path = std::filesystem::read_symlink(link, error);
    if (error) {
        return {};
    }
    // The kernel marks a program whose file was replaced while it runs, as a package upgrade
    // does, with this suffix; the file now at the original path is what the next login starts.
    constexpr std::string_view replaced = " (deleted)";
    const std::string_view text = path.native();
    if (text.ends_with(replaced) && !std::filesystem::exists(path, error)) {
        return std::filesystem::path(text.substr(0, text.size() - replaced.size()));
    }
    return path;
}

std::filesystem::path AutostartEntry::defaultEntryFile() {
    std::filesystem::path configHome;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        configHome = xdg;
    } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
        configHome = std::filesystem::path(home) / ".config";
    } else {
        configHome = std::filesystem::temp_directory_path();
    }
    return configHome / "autostart" / "quorvane.desktop";
}

bool AutostartEntry::isEnabled() const {
    std::error_code error;
    if (!std::filesystem::is_regular_file(entryFile_, error)) {
        return false;
    }
    if (::access(entryFile_.c_str(), R_OK) != 0) {
        return false;
    }
    try {
        if (entryValue(entryFile_, "Hidden") == "true") {
            return false;
        }
        return entryValue(entryFile_, "X-GNOME-Autostart-enabled") != "false";
    } catch (const std::ios_base::failure&) {
        // An entry that cannot be read does not start anything either.
        return false;
    }
}

void AutostartEntry::registerEntry() const {
    if (executable_.empty()) {
        throw std::runtime_error("The path of the running program is unknown.");
    }
    const auto directory = entryFile_.parent_path();
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        fail("Could not create", directory, error.value());
    }
    writeFileAtomically(entryFile_, desktopEntryText());
}

void AutostartEntry::unregisterEntry() const {
    if (::unlink(entryFile_.c_str()) != 0 && errno != ENOENT) {
        fail("Could not remove", entryFile_, errno);
    }
}

std::string AutostartEntry::desktopEntryText() const {
    return std::string(desktopEntryGroup) +
           "\n"
           "Type=Application\n"
           "Name=Quorvane\n"
           "Comment=Turns rough drafts into production-quality prompts\n"
           "Exec=" +
           quotedExecArgument(executable_.string()) +
           "\n"
           "Icon=quorvane\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string AutostartEntry::quotedExecArgument(const std::string& path) {
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            appendStringEscaped(out, '\\');
        }
        if (c == '%') {
            out += "%%";
            continue;
        }
        appendStringEscaped(out, c);
    }
    out += '"';
    return out;
}

} // namespace quorvane
