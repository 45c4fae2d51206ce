#include "shell/diagnostics/ResidentMemory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

TEST(ResidentMemory, readsResidentPagesOrReportsFailure) {
    const fs::path dir = fs::temp_directory_path() / "resident-memory";
    fs::create_directories(dir);
    std::ofstream(dir / "statm") << "9000 512 100 1 0 300 0\n";
    std::ofstream(dir / "garbage") << "none\n";
    const double pageMegabytes = static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);

    EXPECT_DOUBLE_EQ(ResidentMemory::megabytes(dir / "statm"), 512 * pageMegabytes);
    EXPECT_DOUBLE_EQ(ResidentMemory::megabytes(dir / "garbage"), -1.0);
    EXPECT_DOUBLE_EQ(ResidentMemory::megabytes(dir / "missing"), -1.0);
    EXPECT_GT(ResidentMemory::megabytes(), 0.0);
}

} // namespace
} // namespace quorvane
