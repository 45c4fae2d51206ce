#include "platform/crashreport/CrashHandler.h"

#include "platform/crashreport/CrashRecord.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fstream>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Runs in the child that a death test forks: no core file, and the default actions as the
// "previous" ones whatever a sanitizer put in place.
void prepareToDie() {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    for (const int signal : fatalSignals) {
        std::signal(signal, SIG_DFL);
    }
}

// A page that may not be touched, so the fault is the processor's own and no sanitizer's.
volatile int* const guardPage =
    static_cast<volatile int*>(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));

[[gnu::noinline]] void writeToTheGuardPage() {
    *guardPage = 1;
}

volatile int depthLimit = INT_MAX;

[[gnu::noinline]] int recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return depth < depthLimit ? recurse(depth + 1) + frame[0] : 0;
}

void exitWith42(int) {
    _exit(42);
}

bool contains(const CrashImage& image, std::uint64_t address) {
    return image.address <= address && address < image.address + image.size;
}

class CrashHandlerTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("TMPDIR")) / "crashes";
        fs::remove_all(folder_);
    }
    void TearDown() override { CrashHandler::uninstall(); }

    CrashHandler::Settings settings(const std::atomic<bool>* consent = nullptr) const {
        return {folder_, "3.1.4", consent};
    }
    void install(const std::atomic<bool>* consent = nullptr) const {
        prepareToDie();
        if (!CrashHandler::install(settings(consent))) {
            _exit(90);
        }
    }

    // The one record the crash left, read and removed.
    std::optional<CrashRecord> takeRecord() const {
        auto records = CrashRecord::readAll(folder_);
        CrashRecord::discardAll(folder_);
        if (records.size() != 1) {
            ADD_FAILURE() << records.size() << " records";
            return std::nullopt;
        }
        return records[0].record;
    }

    fs::path folder_;
};

TEST_F(CrashHandlerTest, EachFatalSignalIsRecordedAndRaisedAgain) {
    for (const int signal : fatalSignals) {
        EXPECT_EXIT(
            {
                install();
                raise(signal);
            },
            testing::KilledBySignal(signal), "")
            << signal;
        const auto record = takeRecord();
        ASSERT_TRUE(record) << signal;
        EXPECT_EQ(record->signal, signal);
        EXPECT_EQ(record->release, "3.1.4");
        EXPECT_LE(std::chrono::system_clock::now() - record->time, std::chrono::minutes(1));
        ASSERT_FALSE(record->images.empty());
        const auto& program = record->images.front();
        EXPECT_EQ(program.path, fs::read_symlink("/proc/self/exe").string());
        EXPECT_TRUE(std::any_of(record->frames.begin(), record->frames.end(),
                                [&](std::uint64_t frame) { return contains(program, frame); }))
            << "the unwinder got past the signal frame into the code that raised it";
    }
}

TEST_F(CrashHandlerTest, AFaultIsRecordedFromTheFaultingInstructionOutwards) {
    EXPECT_EXIT(
        {
            install();
            writeToTheGuardPage();
        },
        testing::KilledBySignal(SIGSEGV), "");
    const auto record = takeRecord();
    ASSERT_TRUE(record);
    ASSERT_GE(record->frames.size(), 2u);
    // The handler's own frames, above the signal frame, are left out.
    const auto fault = record->frames[0] - reinterpret_cast<std::uintptr_t>(&writeToTheGuardPage);
    EXPECT_LT(fault, 512u) << "the first frame is not the faulting function";
    EXPECT_TRUE(contains(record->images.front(), record->frames[1]));
}

TEST_F(CrashHandlerTest, AStackOverflowIsRecorded) {
    EXPECT_EXIT(
        {
            install();
            recurse(0);
        },
        testing::KilledBySignal(SIGSEGV), "");
    const auto record = takeRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->frames.size(), CrashRecord::maxFrames) << "deep recursion fills the record";
}

TEST_F(CrashHandlerTest, WithoutConsentNothingIsRecorded) {
    static std::atomic<bool> consent{false};
    EXPECT_EXIT(
        {
            install(&consent);
            raise(SIGSEGV);
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_TRUE(CrashRecord::readAll(folder_).empty());

    consent = true;
    EXPECT_EXIT(
        {
            install(&consent);
            raise(SIGSEGV);
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_TRUE(takeRecord());
}

TEST_F(CrashHandlerTest, TheActionInstalledBeforeRunsAfterTheRecord) {
    EXPECT_EXIT(
        {
            prepareToDie();
            std::signal(SIGSEGV, exitWith42);
            CrashHandler::install(settings());
            writeToTheGuardPage();
        },
        testing::ExitedWithCode(42), "");
    EXPECT_TRUE(takeRecord());
}

TEST_F(CrashHandlerTest, LibrariesLoadedAfterInstallingAppearOnceRefreshed) {
    EXPECT_EXIT(
        {
            install();
            if (dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL) == nullptr) {
                _exit(91);
            }
            CrashHandler::refreshImages();
            raise(SIGSEGV);
        },
        testing::KilledBySignal(SIGSEGV), "");
    const auto record = takeRecord();
    ASSERT_TRUE(record);
    EXPECT_TRUE(std::any_of(record->images.begin(), record->images.end(), [](const auto& image) {
        return image.path.ends_with("/libcurl.so.4") && !image.buildId.empty();
    }));
}

TEST_F(CrashHandlerTest, UninstallingRestoresThePreviousActions) {
    struct sigaction before {};
    sigaction(SIGBUS, nullptr, &before);
    ASSERT_TRUE(CrashHandler::install(settings()));
    EXPECT_TRUE(CrashHandler::isInstalled());
    struct sigaction during {};
    sigaction(SIGBUS, nullptr, &during);
    EXPECT_NE(during.sa_sigaction, before.sa_sigaction);

    ASSERT_TRUE(CrashHandler::install(settings())) << "installing again only takes the settings";
    CrashHandler::uninstall();
    struct sigaction after {};
    sigaction(SIGBUS, nullptr, &after);
    EXPECT_FALSE(CrashHandler::isInstalled());
    EXPECT_EQ(after.sa_sigaction, before.sa_sigaction) << "not our own handler as the previous one";
}

TEST_F(CrashHandlerTest, TheFoldersItMakesArePrivate) {
    const auto folder = folder_ / "state" / "Quorvane";
    const auto umask = ::umask(022);
    const bool installed = CrashHandler::install({folder, "1", nullptr});
    ::umask(umask);
    ASSERT_TRUE(installed);
    for (const auto& made : {folder_, folder_ / "state", folder}) {
        EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
    }
}

TEST_F(CrashHandlerTest, AFolderThatCannotBeMadeInstallsNothing) {
    fs::create_directories(folder_);
    std::ofstream(folder_ / "file") << "x";
    EXPECT_FALSE(CrashHandler::install({folder_ / "file" / "crashes", "1", nullptr}));
    EXPECT_FALSE(CrashHandler::isInstalled());
}

} // namespace
} // namespace quorvane
