#include "ResidentMemory.h"

#include <unistd.h>

#include <fstream>

namespace quorvane {

double ResidentMemory::megabytes(const std::filesystem::path& statm) {
    std::ifstream file(statm);
    long long totalPages = 0;
    long long residentPages = 0;
    if (!(file >> totalPages >> residentPages) || residentPages < 0) {
        return -1.0;
    }
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pageSize <= 0) {
        return -1.0;
    }
    const double bytes = static_cast<double>(residentPages) * static_cast<double>(pageSize);
    return bytes / (1024.0 * 1024.0);
}

} // namespace quorvane
