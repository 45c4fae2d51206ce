#include "CrashHandler.h"

#include "CrashRecord.h"
#include "LoadedImages.h"
#include "platform/files/PrivateFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>
#include <system_error>

namespace quorvane {

namespace {

namespace fs = std::filesystem;

constexpr std::array<int, 5> fatalSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t imageTextCapacity = 128 * 1024;
constexpr std::size_t releaseCapacity = 128;
// The longest folder the record's path is built in; the file name needs the rest of PATH_MAX.
constexpr std::size_t directoryCapacity = PATH_MAX - 64;
// Room for the handler's own frames above the interrupted one.
constexpr std::size_t frameCapacity = CrashRecord::maxFrames + 16;
constexpr std::size_t alternateStackSize = 128 * 1024;
// How long a second crashing thread waits for the first one's record: 300 times 10 ms.
constexpr int waitSteps = 300;

struct ImageText {
    char text[imageTextCapacity];
    std::size_t length = 0;
};

// Everything the handler reads, prepared in normal code.
struct HandlerState {
    const std::atomic<bool>* consent = nullptr;
    char directory[directoryCapacity] = {};
    std::size_t directoryLength = 0;
    char release[releaseCapacity] = {};
    std::size_t releaseLength = 0;
    // Two lists, so that a refresh never writes the one a crashing thread may be reading.
    ImageText images[2];
    std::atomic<int> publishedImages{0};
    LoadedImages::Counters counters{~0ULL, ~0ULL};
    std::uintptr_t frames[frameCapacity] = {};
    struct sigaction previous[fatalSignals.size()] = {};
    stack_t previousStack = {};
    void* alternateStack = nullptr; // ours, when we put one in place
};

// The handler is process-wide by nature: the kernel calls one function for a signal, whichever
// thread faults.
std::atomic<HandlerState*> installed{nullptr};
// The thread writing the record; zero until a crash.
std::atomic<pid_t> handlingThread{0};

// Serialises install, uninstall and refresh; never taken by the handler.
std::mutex& installation() {
    static std::mutex mutex;
    return mutex;
}

// Signal-safe formatting, into a buffer the caller owns.
char* putText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char* putNumber(char* out, std::uint64_t value, unsigned base) {
    static constexpr char digits[] = "0123456789abcdef";
    char reversed[24];
    std::size_t count = 0;
    do {
        reversed[count++] = digits[value % base];
        value /= base;
    } while (value != 0);
    while (count > 0) {
        *out++ = reversed[--count];
    }
    return out;
}

void writeAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        const auto written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

// Collects whole lines and writes them out in few calls.
class RecordWriter {
public:
    explicit RecordWriter(int fd)
        : fd_(fd) {}
    ~RecordWriter() { flush(); }

    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    void bare(std::string_view text) {
        makeRoom(text.size() + 1);
        end_ = putText(end_, text);
        *end_++ = '\n';
    }
    void line(std::string_view key, std::string_view value) {
        makeRoom(key.size() + value.size() + 2);
        end_ = putText(end_, key);
        *end_++ = ' ';
        end_ = putText(end_, value);
        *end_++ = '\n';
    }
    void number(std::string_view key, std::uint64_t value) {
        makeRoom(key.size() + 24);
        end_ = putText(end_, key);
        *end_++ = ' ';
        end_ = putNumber(end_, value, 10);
        *end_++ = '\n';
    }
    void address(std::string_view key, std::uint64_t value) {
        makeRoom(key.size() + 24);
        end_ = putText(end_, key);
        end_ = putText(end_, " 0x");
        end_ = putNumber(end_, value, 16);
        *end_++ = '\n';
    }
    void raw(const char* data, std::size_t length) {
        flush();
        writeAll(fd_, data, length);
    }
    void flush() {
        writeAll(fd_, buffer_, static_cast<std::size_t>(end_ - buffer_));
        end_ = buffer_;
    }

private:
    void makeRoom(std::size_t length) {
        if (static_cast<std::size_t>(buffer_ + sizeof buffer_ - end_) < length) {
            flush();
        }
    }

    int fd_;
    char buffer_[1024];
    char* end_ = buffer_;
};

std::uintptr_t interruptedAddress(const void* context) {
    const auto* machine = &static_cast<const ucontext_t*>(context)->uc_mcontext;
#if defined(__x86_64__)
    return static_cast<std::uintptr_t>(machine->gregs[REG_RIP]);
#elif defined(__i386__)
    return static_cast<std::uintptr_t>(machine->gregs[REG_EIP]);
#elif defined(__aarch64__)
    return static_cast<std::uintptr_t>(machine->pc);
#else
    (void)machine;
    return 0;
#endif
}

struct Unwinding {
    std::uintptr_t* frames;
    std::size_t count;
};

_Unwind_Reason_Code collectFrame(_Unwind_Context* context, void* argument) {
    auto& unwinding = *static_cast<Unwinding*>(argument);
    int beforeInstruction = 0;
    const auto address = _Unwind_GetIPInfo(context, &beforeInstruction);
    if (address == 0 || unwinding.count == frameCapacity) {
        return _URC_END_OF_STACK;
    }
    unwinding.frames[unwinding.count++] = address;
    return _URC_NO_REASON;
}

// The unwinder finds frame descriptions through _dl_find_object, which is async-signal-safe
// (glibc 2.35 and later); only its very first call sets up tables, so that is done here.
void prepareUnwinder() {
    std::uintptr_t frames[frameCapacity];
    Unwinding unwinding{frames, 0};
    _Unwind_Backtrace(collectFrame, &unwinding);
}

// The crashing thread's frames from the interrupted instruction outwards. The unwinder starts
// in this handler and passes through the kernel's signal frame; what lies above the
// interrupted instruction is the handler's own.
void writeFrames(RecordWriter& out, HandlerState& state, const void* context) {
    Unwinding unwinding{state.frames, 0};
    _Unwind_Backtrace(collectFrame, &unwinding);
    const auto interrupted = interruptedAddress(context);
    const auto* begin = state.frames;
    const auto* end = state.frames + unwinding.count;
    const auto* first = interrupted == 0 ? begin : std::find(begin, end, interrupted);
    if (first == end) {
        // The unwinder could not get past the signal frame: the faulting address is all there is.
        out.address("frame", interrupted);
        return;
    }
    end = std::min(end, first + CrashRecord::maxFrames);
    for (const auto* frame = first; frame != end; ++frame) {
        out.address("frame", *frame);
    }
}

void writeRecord(HandlerState& state, int signal, const void* context) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
    char path[PATH_MAX];
    char* end = putText(path, {state.directory, state.directoryLength});
    end = putText(end, "/crash-");
    end = putNumber(end, milliseconds, 10);
    *end++ = '-';
    end = putNumber(end, static_cast<std::uint64_t>(getpid()), 10);
    end = putText(end, ".record");
    *end = '\0';
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    {
        RecordWriter out(fd);
        out.bare(CrashRecord::firstLine);
        out.number("signal", static_cast<std::uint64_t>(signal));
        out.number("time", milliseconds);
        out.line("release", {state.release, state.releaseLength});
        const auto& images = state.images[state.publishedImages.load(std::memory_order_acquire)];
        out.raw(images.text, images.length);
        // Unwinding reads the stack, which may be damaged: what could be written is written
        // first, and a record cut short by a fault here lacks its last line and is dropped.
        writeFrames(out, state, context);
        out.bare(CrashRecord::lastLine);
    }
    ::close(fd);
}

void waitForTheFirstCrash() {
    for (int step = 0; step < waitSteps; ++step) {
        timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

void restorePrevious(const HandlerState& state, int signal) {
    for (std::size_t i = 0; i < fatalSignals.size(); ++i) {
        if (fatalSignals[i] == signal) {
            sigaction(signal, &state.previous[i], nullptr);
            return;
        }
    }
}

void onFatalSignal(int signal, siginfo_t*, void* context) {
    const int savedErrno = errno;
    auto* state = installed.load(std::memory_order_acquire);
    if (state == nullptr) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(signal, &fallback, nullptr);
    } else {
        const auto self = static_cast<pid_t>(syscall(SYS_gettid));
        pid_t none = 0;
        if (handlingThread.compare_exchange_strong(none, self)) {
            if (state->consent == nullptr || state->consent->load()) {
                writeRecord(*state, signal, context);
            }
        } else if (none != self) {
            // The process ends when the first thread has written its record.
            waitForTheFirstCrash();
        }
        restorePrevious(*state, signal);
    }
    errno = savedErrno;
    // The signal stays blocked while this handler runs, so it reaches the restored action as
    // the handler returns. A fault would come back on its own, but a signal sent with raise or
    // kill would not.
    raise(signal);
}

void describe(HandlerState& state, const CrashHandler::Settings& settings,
              const std::string& directory) {
    state.consent = settings.consent;
    std::memcpy(state.directory, directory.data(), directory.size());
    state.directoryLength = directory.size();
    state.releaseLength = std::min(settings.release.size(), releaseCapacity);
    for (std::size_t i = 0; i < state.releaseLength; ++i) {
        const auto c = settings.release[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') ||
                           std::string_view(".-+_").find(c) != std::string_view::npos;
        state.release[i] = plain ? c : '_';
    }
}

void gatherImages(HandlerState& state) {
    const auto counters = LoadedImages::counters();
    if (counters == state.counters || handlingThread.load() != 0) {
        return;
    }
    const auto images = LoadedImages::gather();
    const int spare = 1 - state.publishedImages.load();
    auto& target = state.images[spare];
    target.length = 0;
    for (const auto& image : images) {
        const auto line = CrashRecord::imageLine(image);
        if (target.length + line.size() > imageTextCapacity) {
            break;
        }
        std::memcpy(target.text + target.length, line.data(), line.size());
        target.length += line.size();
    }
    state.publishedImages.store(spare, std::memory_order_release);
    state.counters = counters;
}

// The alternate stack that lets the handler run when the stack itself is what overflowed. One
// already in place (a sanitizer's, say) is kept when it is large enough.
void useAlternateStack(HandlerState& state) {
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0 &&
        current.ss_size >= alternateStackSize) {
        return;
    }
    void* memory = mmap(nullptr, alternateStackSize, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (memory == MAP_FAILED) {
        return;
    }
    stack_t ours{};
    ours.ss_sp = memory;
    ours.ss_size = alternateStackSize;
    if (sigaltstack(&ours, &state.previousStack) != 0) {
        munmap(memory, alternateStackSize);
        return;
    }
    state.alternateStack = memory;
}

void restoreAlternateStack(HandlerState& state) {
    if (state.alternateStack == nullptr) {
        return;
    }
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == state.alternateStack) {
        sigaltstack(&state.previousStack, nullptr);
        munmap(state.alternateStack, alternateStackSize);
    }
    // Installed on another thread, the stack is left to that thread.
    state.alternateStack = nullptr;
}

} // namespace

bool CrashHandler::install(const Settings& settings) {
    std::lock_guard lock(installation());
    std::error_code error;
    const auto directory = fs::absolute(settings.directory, error).lexically_normal();
    // Private: the records show when the program crashed and which libraries it had loaded.
    PrivateFile::createPrivateDirectories(directory);
    auto text = directory.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    if (error || !fs::is_directory(directory, error) || text.size() >= directoryCapacity) {
        return false;
    }
    if (auto* state = installed.load()) {
        // A crash racing this change may see a mix of old and new; either names a real folder.
        describe(*state, settings, text);
        gatherImages(*state);
        return true;
    }
    auto* state = new HandlerState;
    describe(*state, settings, text);
    gatherImages(*state);
    prepareUnwinder();
    useAlternateStack(*state);
    installed.store(state, std::memory_order_release);

    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // A second fault while the record is written ends the process at once instead of
    // re-entering the handler.
    sigemptyset(&action.sa_mask);
    for (const int signal : fatalSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (std::size_t i = 0; i < fatalSignals.size(); ++i) {
        sigaction(fatalSignals[i], &action, &state->previous[i]);
    }
    return true;
}

void CrashHandler::uninstall() {
    std::lock_guard lock(installation());
    auto* state = installed.load();
    if (state == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < fatalSignals.size(); ++i) {
        sigaction(fatalSignals[i], &state->previous[i], nullptr);
    }
    restoreAlternateStack(*state);
    installed.store(nullptr);
    delete state;
}

bool CrashHandler::isInstalled() {
    return installed.load() != nullptr;
}

void CrashHandler::refreshImages() {
    std::lock_guard lock(installation());
    if (auto* state = installed.load()) {
        gatherImages(*state);
    }
}

} // namespace quorvane
