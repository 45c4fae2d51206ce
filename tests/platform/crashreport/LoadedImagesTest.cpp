#include "platform/crashreport/LoadedImages.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace quorvane {
namespace {

TEST(LoadedImagesTest, PathsKeepNothingThatNamesTheUser) {
    const LoadedImages::Identity identity{{"/home/alice", "/data/homes/alice"}, {"alice", "al"}};
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/lib/x86_64-linux-gnu/libQt6Core.so.6", "/usr/lib/x86_64-linux-gnu/libQt6Core.so.6"},
        {"/home/alice/src/quorvane/build/bin/quorvane", "quorvane"},
        {"/data/homes/alice/.local/lib/libplugin.so", "libplugin.so"},
        {"/media/alice/usb/quorvane", "quorvane"},
        {"/opt/tools/al/libx.so", "libx.so"},
        {"/opt/tools/alice", "[redacted]"},
        // Only whole folders count: the home's neighbours and names that merely contain the
        // user's are someone else's.
        {"/home/alice2/libx.so", "/home/alice2/libx.so"},
        {"/opt/alibaba/libx.so", "/opt/alibaba/libx.so"},
        {"linux-vdso.so.1", "linux-vdso.so.1"},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(LoadedImages::anonymisedPath(path, identity), expected) << path;
    }
    // The root folder as a home would swallow every path.
    EXPECT_EQ(LoadedImages::anonymisedPath("/usr/lib/libc.so.6", {{}, {}}), "/usr/lib/libc.so.6");
}

TEST(LoadedImagesTest, TheIdentityComesFromTheEnvironmentAndTheAccount) {
    const auto identity = LoadedImages::currentIdentity();
    const std::string home = std::getenv("HOME");
    EXPECT_NE(std::find(identity.homeFolders.begin(), identity.homeFolders.end(), home),
              identity.homeFolders.end());
    EXPECT_FALSE(identity.userNames.empty());
    EXPECT_EQ(std::find(identity.homeFolders.begin(), identity.homeFolders.end(), "/"),
              identity.homeFolders.end());
}

TEST(LoadedImagesTest, ListsTheProgramFirstWithItsBuildIdAndTheLibrariesItUses) {
    const auto images = LoadedImages::gather();
    ASSERT_GE(images.size(), 2u);

    const auto& program = images.front();
    EXPECT_EQ(program.path, std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_GE(program.buildId.size(), 16u) << "the build gives programs a build id";
    const auto here = reinterpret_cast<std::uintptr_t>(&LoadedImages::gather);
    EXPECT_LE(program.address, here);
    EXPECT_LT(here, program.address + program.size) << "this code lies in the program's image";

    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&dlsym), &info), 0);
    const auto libc = std::find_if(images.begin(), images.end(), [&](const CrashImage& image) {
        return image.address == reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    });
    ASSERT_NE(libc, images.end());
    EXPECT_EQ(libc->path, info.dli_fname);
    EXPECT_FALSE(libc->buildId.empty());

    const auto before = LoadedImages::counters();
    EXPECT_EQ(LoadedImages::counters(), before);
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(LoadedImages::counters(), before) << "a load shows in the counters";
    dlclose(library);
}

} // namespace
} // namespace quorvane
