#include "shell/Launcher.h"

#include "shell/InstanceAddress.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quorvane {

namespace {

constexpr std::array<std::string_view, 13> diagnosticFlags{
    "--selftest",   "--showcase",   "--clarifytest",     "--copytest",      "--variationtest",
    "--keyprobe",   "--menuprobe",  "--onboardingprobe", "--resourceprobe", "--errortest",
    "--hotkeytest", "--sentrytest", "--telemetryprobe",
};

// The folder of the running executable, with its links resolved, so that the module is found
// beside the real file however the program was reached.
std::string executableDirectory() {
    std::array<char, 4096> path{};
    const auto length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return {};
    }
    const std::string_view executable(path.data(), static_cast<std::size_t>(length));
    return std::string(executable.substr(0, executable.rfind('/')));
}

} // namespace

bool Launcher::requestsDiagnosticMode(int argc, char** argv) {
    const char* selfTest = std::getenv("THRIM_SELFTEST");
    if (selfTest != nullptr && std::string_view(selfTest) == "1") {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::find(diagnosticFlags.begin(), diagnosticFlags.end(), argv[i]) !=
            diagnosticFlags.end()) {
            return true;
        }
    }
    return false;
}

int Launcher::main(int argc, char** argv, const char* module) {
    // A copy that answers is running; one that does not yet (still starting, or gone) is left
    // to the application's own single-instance check, which waits for it or takes its place.
    if (!requestsDiagnosticMode(argc, argv) &&
        InstanceAddress(InstanceAddress::runtimeDirectory()).sendReopen()) {
        return 0;
    }
    return runApplication(argc, argv, module);
}

int Launcher::runApplication(int argc, char** argv, const char* module) {
    const std::string path = executableDirectory() + "/" + module;
    // Lazy binding leaves each library as binding-eager as it was built; the module itself is
    // linked to bind everything at load and to keep its relocations read-only afterwards. It
    // stays loaded until the process ends.
    void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "quorvane: cannot load the application: %s\n", ::dlerror());
        return 1;
    }
    const auto applicationMain = reinterpret_cast<ApplicationMain>(::dlsym(handle, entryPoint));
    if (applicationMain == nullptr) {
        std::fprintf(stderr, "quorvane: %s has no entry point\n", path.c_str());
        return 1;
    }
    return applicationMain(argc, argv);
}

} // namespace quorvane
