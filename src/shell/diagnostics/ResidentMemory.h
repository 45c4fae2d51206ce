// The process's resident set size.
#pragma once

#include <filesystem>

namespace quorvane {

class ResidentMemory {
public:
    // Resident pages (the second field of statm) times the page size, in
    // megabytes (2^20 bytes); -1.0 when the file cannot be read or parsed.
    static double megabytes(const std::filesystem::path& statm = "/proc/self/statm");
};

} // namespace quorvane
