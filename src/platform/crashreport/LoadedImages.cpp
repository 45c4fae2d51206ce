#include "LoadedImages.h"

#include "platform/files/UserDirectories.h"

#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

namespace quorvane {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view hidden = "[redacted]";

std::size_t alignedUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

std::string hex(const unsigned char* bytes, std::size_t count) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 0xF]);
    }
    return text;
}

// The NT_GNU_BUILD_ID note of a loaded image, read from its mapped note segments.
std::string buildId(const dl_phdr_info& info) {
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const auto& segment = info.dlpi_phdr[i];
        if (segment.p_type != PT_NOTE) {
            continue;
        }
        const auto* notes =
            reinterpret_cast<const unsigned char*>(info.dlpi_addr + segment.p_vaddr);
        const std::size_t size = segment.p_memsz;
        const std::size_t alignment = segment.p_align == 8 ? 8 : 4;
        std::size_t offset = 0;
        while (offset + sizeof(ElfW(Nhdr)) <= size) {
            ElfW(Nhdr) note;
            std::memcpy(&note, notes + offset, sizeof note);
            const auto name = offset + sizeof note;
            const auto description = name + alignedUp(note.n_namesz, alignment);
            const auto next = description + alignedUp(note.n_descsz, alignment);
            if (next > size) {
                break;
            }
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 &&
                std::memcmp(notes + name, "GNU", 4) == 0 && note.n_descsz > 0) {
                return hex(notes + description, note.n_descsz);
            }
            offset = next;
        }
    }
    return {};
}

std::string programPath() {
    std::error_code error;
    auto path = fs::read_symlink("/proc/self/exe", error).string();
    // A program replaced on disk while it runs reads "<path> (deleted)".
    constexpr std::string_view deleted = " (deleted)";
    if (path.size() > deleted.size() && path.ends_with(deleted)) {
        path.resize(path.size() - deleted.size());
    }
    return path;
}

struct Gathering {
    LoadedImages::Identity identity;
    std::vector<CrashImage> images;
    bool first = true;
};

int addImage(dl_phdr_info* info, std::size_t, void* argument) {
    auto& gathering = *static_cast<Gathering*>(argument);
    const bool isProgram = gathering.first;
    gathering.first = false;
    std::string path = info->dlpi_name != nullptr ? info->dlpi_name : "";
    if (path.empty()) {
        // Only the program itself is listed without a name.
        if (!isProgram) {
            return 0;
        }
        path = programPath();
    }
    auto lowest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t highest = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD) {
            lowest = std::min<std::uint64_t>(lowest, segment.p_vaddr);
            highest = std::max<std::uint64_t>(highest, segment.p_vaddr + segment.p_memsz);
        }
    }
    if (highest == 0 || path.empty()) {
        return 0;
    }
    const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    lowest -= lowest % page;
    gathering.images.push_back({info->dlpi_addr + lowest, alignedUp(highest - lowest, page),
                                buildId(*info),
                                LoadedImages::anonymisedPath(path, gathering.identity)});
    return gathering.images.size() == CrashRecord::maxImages ? 1 : 0;
}

int readCounters(dl_phdr_info* info, std::size_t, void* argument) {
    auto& counters = *static_cast<LoadedImages::Counters*>(argument);
    counters = {info->dlpi_adds, info->dlpi_subs};
    return 1; // the counts are the same in every entry
}

void addUnique(std::vector<std::string>& list, std::string value) {
    while (value.size() > 1 && value.back() == '/') {
        value.pop_back();
    }
    // The root folder would take every path with it.
    if (value.empty() || value == "/" || std::find(list.begin(), list.end(), value) != list.end()) {
        return;
    }
    list.push_back(std::move(value));
}

void addHomeFolder(LoadedImages::Identity& identity, const std::string& folder) {
    addUnique(identity.homeFolders, folder);
    std::error_code error;
    const auto real = fs::weakly_canonical(folder, error);
    if (!error && !folder.empty()) {
        addUnique(identity.homeFolders, real.string());
    }
}

bool isUnder(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

} // namespace

LoadedImages::Counters LoadedImages::counters() {
    Counters counters;
    dl_iterate_phdr(readCounters, &counters);
    return counters;
}

std::vector<CrashImage> LoadedImages::gather() {
    Gathering gathering;
    gathering.identity = currentIdentity();
    dl_iterate_phdr(addImage, &gathering);
    return gathering.images;
}

LoadedImages::Identity LoadedImages::currentIdentity() {
    Identity identity;
    for (const char* variable : {"HOME", "USER", "LOGNAME"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr) {
            continue;
        }
        if (std::strcmp(variable, "HOME") == 0) {
            addHomeFolder(identity, value);
        } else {
            addUnique(identity.userNames, value);
        }
    }
    if (const auto entry = UserDirectories::passwordEntry(getuid())) {
        addHomeFolder(identity, entry->homeFolder);
        addUnique(identity.userNames, entry->name);
    }
    return identity;
}

std::string LoadedImages::anonymisedPath(const std::string& path, const Identity& identity) {
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto& users = identity.userNames;
    if (std::find(users.begin(), users.end(), name) != users.end()) {
        return std::string(hidden);
    }
    const bool underHome =
        std::any_of(identity.homeFolders.begin(), identity.homeFolders.end(),
                    [&path](const std::string& folder) { return isUnder(path, folder); });
    bool namesUser = false;
    for (std::size_t start = 0; slash != std::string::npos && start < slash;) {
        const auto end = path.find('/', start);
        const auto folder = path.substr(start, end - start);
        namesUser = namesUser || std::find(users.begin(), users.end(), folder) != users.end();
        start = end + 1;
    }
    return underHome || namesUser ? name : path;
}

} // namespace quorvane
