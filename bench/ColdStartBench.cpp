// Cold start of the application beside a minimal Qt Widgets program, both under a private Xvfb
// that this program starts: the clock runs from the fork to the first frame of the program's
// window, seen from outside through the X server. The application opens no window at a cold
// start once onboarding is done, so it is reached the way a second launch reaches it, through
// its single-instance socket, and the panel that the reopen shows is the window timed. Prints
// the medians, their ratio and the application's idle resident size.
//
// With the application running, the program is launched again twice a round, as a desktop
// shortcut bound to it does: once to hide the panel, once to show it. Each hand-over, from the
// fork to the exit, is set beside the minimal window's cold start of the same run, and for the
// launch that shows the panel the time from its fork to the panel's first frame is printed too.
#include "BenchTargets.h"
#include "harness/ChildProcess.h"
#include "harness/XvfbDisplay.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/localsocket/LocalSocketConnection.h"
#include "shell/InstanceAddress.h"
#include "shell/diagnostics/ResidentMemory.h"
#include "state/SettingsStore.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 10;
constexpr double ratioLimit = 1.5;
constexpr double residentLimitMB = 80.0;
// A hand-over, from the fork to the exit, beside the minimal window's cold start.
constexpr double handOverRatioLimit = 0.25;
constexpr auto framePatience = 20s;
constexpr auto idleTime = 2s;
// Long enough for the panel's hide animation to end and its window to go.
constexpr auto hideSettleTime = 600ms;
// How often the X server and the application's socket are looked at while waiting.
constexpr int pollIntervalMs = 2;

void fail(const char* message) {
    std::fprintf(stderr, "bench_cold_start: %s\n", message);
}

double millisecondsBetween(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle]
                                   : (samples[middle - 1] + samples[middle]) / 2.0;
}

// Home, config, data, state, runtime and temporary directories that both programs share for one
// run of the benchmark, removed with it. Set in this process's environment so children inherit
// them.
class PrivateHome {
public:
    PrivateHome()
        : root_(fs::temp_directory_path() / ("quorvane-cold-start-" + std::to_string(getpid()))) {
        for (const auto& [variable, name] : {std::pair{"HOME", "home"},
                                             {"XDG_CONFIG_HOME", "config"},
                                             {"XDG_DATA_HOME", "data"},
                                             {"XDG_STATE_HOME", "state"},
                                             {"XDG_RUNTIME_DIR", "runtime"},
                                             {"TMPDIR", "tmp"}}) {
            fs::create_directories(root_ / name);
            setenv(variable, (root_ / name).c_str(), 1);
        }
        // Qt refuses a runtime directory that others can read.
        fs::permissions(runtimeDirectory(), fs::perms::owner_all, fs::perm_options::replace);
    }
    ~PrivateHome() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    PrivateHome(const PrivateHome&) = delete;
    PrivateHome& operator=(const PrivateHome&) = delete;

    fs::path configHome() const { return root_ / "config"; }
    fs::path runtimeDirectory() const { return root_ / "runtime"; }

private:
    fs::path root_;
};

// The first frame of a top-level window, observed from outside: every window created on the
// root gets a damage object, and the first damage reported for one that is mapped and no longer
// blank is the program's first paint reaching the server. Some windows, the translucent panel
// among them, have a background pixel that the server paints on mapping; that damage leaves
// the window black and is not a frame.
class FrameWatcher {
public:
    ~FrameWatcher() {
        if (connection_ != nullptr) {
            xcb_disconnect(connection_);
        }
    }

    bool open(const std::string& display) {
        connection_ = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(connection_) != 0) {
            return false;
        }
        const auto* extension = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (extension == nullptr || extension->present == 0) {
            return false;
        }
        damageEvent_ = extension->first_event + XCB_DAMAGE_NOTIFY;
        std::unique_ptr<xcb_damage_query_version_reply_t, decltype(&std::free)> version(
            xcb_damage_query_version_reply(connection_,
                                           xcb_damage_query_version(connection_,
                                                                    XCB_DAMAGE_MAJOR_VERSION,
                                                                    XCB_DAMAGE_MINOR_VERSION),
                                           nullptr),
            &std::free);
        if (!version) {
            return false;
        }
        const auto root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
        return true;
    }

    // Runs tick every few milliseconds until a window created from now on shows its first
    // frame; the moment it was seen, or nothing when the deadline passes first.
    std::optional<Clock::time_point> waitForFirstFrame(Clock::time_point deadline,
                                                       const std::function<void()>& tick) {
        // The previous program's windows may still be going away; none of them counts.
        windows_.clear();
        pollfd descriptor{
            .fd = xcb_get_file_descriptor(connection_), .events = POLLIN, .revents = 0};
        while (Clock::now() < deadline) {
            if (tick) {
                tick();
            }
            if (auto seen = drainEvents()) {
                return seen;
            }
            if (xcb_connection_has_error(connection_) != 0) {
                return std::nullopt;
            }
            poll(&descriptor, 1, pollIntervalMs);
        }
        return std::nullopt;
    }

private:
    struct Window {
        xcb_damage_damage_t damage = XCB_NONE;
        bool mapped = false;
    };

    std::optional<Clock::time_point> drainEvents() {
        std::optional<Clock::time_point> seen;
        while (auto* event = xcb_poll_for_event(connection_)) {
            if (!seen) {
                seen = handle(event);
            }
            std::free(event);
        }
        xcb_flush(connection_);
        return seen;
    }

    // The frame's time when this event is a first frame.
    std::optional<Clock::time_point> handle(const xcb_generic_event_t* event) {
        const auto type = event->response_type & 0x7f;
        if (type == damageEvent_) {
            return damaged(reinterpret_cast<const xcb_damage_notify_event_t*>(event)->drawable);
        }
        switch (type) {
        case XCB_CREATE_NOTIFY:
            watch(reinterpret_cast<const xcb_create_notify_event_t*>(event)->window);
            break;
        case XCB_MAP_NOTIFY:
            setMapped(reinterpret_cast<const xcb_map_notify_event_t*>(event)->window, true);
            break;
        case XCB_UNMAP_NOTIFY:
            setMapped(reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window, false);
            break;
        case XCB_DESTROY_NOTIFY:
            // The server drops the window's damage object with it.
            windows_.erase(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
            break;
        default:
            // Errors from a window that went away before its damage object was made.
            break;
        }
        return std::nullopt;
    }

    void watch(xcb_window_t window) {
        const auto damage = xcb_generate_id(connection_);
        xcb_damage_create(connection_, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        windows_[window] = Window{.damage = damage, .mapped = false};
    }

    void setMapped(xcb_window_t window, bool mapped) {
        if (const auto found = windows_.find(window); found != windows_.end()) {
            found->second.mapped = mapped;
        }
    }

    std::optional<Clock::time_point> damaged(xcb_drawable_t drawable) {
        const auto now = Clock::now();
        const auto found = windows_.find(drawable);
        if (found == windows_.end()) {
            return std::nullopt;
        }
        // A report level of non-empty says nothing more until the damage is cleared. Cleared
        // before looking at the window, so that a paint landing after the look still reports.
        xcb_damage_subtract(connection_, found->second.damage, XCB_NONE, XCB_NONE);
        if (!found->second.mapped || isBlank(drawable)) {
            return std::nullopt;
        }
        return now;
    }

    // Looks at the row through the middle of the window: a painted window has something there,
    // a cleared one only black.
    bool isBlank(xcb_window_t window) {
        using Reply = std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)>;
        const Reply geometry(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr),
            &std::free);
        if (!geometry || geometry->width == 0 || geometry->height == 0) {
            return true;
        }
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> row(
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                                              static_cast<std::int16_t>(geometry->height / 2),
                                              geometry->width, 1, ~0U),
                                nullptr),
            &std::free);
        if (!row) {
            return true;
        }
        const auto* bytes = xcb_get_image_data(row.get());
        const int length = xcb_get_image_data_length(row.get());
        // Pixels of 32 bits, blue first; the fourth byte is alpha or padding, which the clear
        // may set either way.
        for (int offset = 0; offset + 3 < length; offset += 4) {
            if (bytes[offset] != 0 || bytes[offset + 1] != 0 || bytes[offset + 2] != 0) {
                return false;
            }
        }
        return true;
    }

    xcb_connection_t* connection_ = nullptr;
    int damageEvent_ = -1;
    std::map<xcb_window_t, Window> windows_;
};

// Hands the application the line a second launch sends, as soon as its socket accepts.
class ReopenSender {
public:
    explicit ReopenSender(const fs::path& runtimeDirectory)
        : address_(runtimeDirectory) {}

    void tryOnce() {
        if (sent_ || !address_.socket().address) {
            return;
        }
        // Kept open until the round ends, so the application reads the line at its own pace.
        connection_ = quorvane::LocalSocketConnection::connect(*address_.socket().address);
        sent_ = connection_ && connection_->writeAll(quorvane::InstanceAddress::reopenMessage,
                                                     std::chrono::seconds(1));
    }

private:
    quorvane::InstanceAddress address_;
    std::optional<quorvane::LocalSocketConnection> connection_;
    bool sent_ = false;
};

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    quorvane::test::waitForExit(pid, 3s);
}

struct Launch {
    pid_t pid = -1;
    std::optional<double> firstFrameMs;
};

// Starts a program and waits for the first frame of its window; the program keeps running.
Launch launch(FrameWatcher& watcher, const std::string& program,
              const std::function<void()>& tick = {}) {
    const auto start = Clock::now();
    const pid_t pid = quorvane::test::spawn({program}, {.quiet = true, .environment = {}});
    if (pid < 0) {
        return {};
    }
    const auto seen = watcher.waitForFirstFrame(start + framePatience, tick);
    if (!seen) {
        return {.pid = pid, .firstFrameMs = std::nullopt};
    }
    return {.pid = pid, .firstFrameMs = millisecondsBetween(start, *seen)};
}

std::optional<double> timeMinimalWindow(FrameWatcher& watcher) {
    const Launch started = launch(watcher, MINIMAL_WINDOW_BINARY);
    if (started.pid > 0) {
        stop(started.pid);
    }
    return started.firstFrameMs;
}

// The application's launch to its panel's first frame; the application is left running.
Launch launchQuorvane(FrameWatcher& watcher, const PrivateHome& home) {
    // A stale socket from the previous round would only refuse connections, but removing it
    // keeps every round alike.
    std::error_code ignored;
    fs::remove(home.runtimeDirectory() / "quorvane.socket", ignored);
    ReopenSender reopen(home.runtimeDirectory());
    return launch(watcher, QUORVANE_BINARY, [&reopen] { reopen.tryOnce(); });
}

struct Relaunch {
    double handOverMs = 0.0;
    double peakResidentMB = 0.0;
    std::optional<double> firstFrameMs;
};

// Launches the program again while it runs. The exit is waited for on a thread of its own, so
// that its moment is not rounded to the frame watcher's polling.
std::optional<Relaunch> relaunch(FrameWatcher& watcher, bool showsPanel) {
    const auto start = Clock::now();
    const pid_t pid = quorvane::test::spawn({QUORVANE_BINARY}, {.quiet = true, .environment = {}});
    if (pid < 0) {
        return std::nullopt;
    }
    int status = -1;
    rusage usage{};
    Clock::time_point exited;
    std::thread reaper([&] {
        wait4(pid, &status, 0, &usage);
        exited = Clock::now();
    });
    std::optional<Clock::time_point> frame;
    if (showsPanel) {
        frame = watcher.waitForFirstFrame(start + framePatience, {});
    }
    reaper.join();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || (showsPanel && !frame)) {
        return std::nullopt;
    }
    Relaunch result{.handOverMs = millisecondsBetween(start, exited),
                    .peakResidentMB = static_cast<double>(usage.ru_maxrss) / 1024.0,
                    .firstFrameMs = std::nullopt};
    if (frame) {
        result.firstFrameMs = millisecondsBetween(start, *frame);
    }
    return result;
}

struct Results {
    std::vector<double> quorvaneMs;
    std::vector<double> minimalMs;
    double residentMB = -1.0;
    std::vector<double> handOverMs;
    std::vector<double> relaunchFrameMs;
    double relaunchPeakMB = 0.0;
};

// The cold start left the panel shown: the first launch hides it, the second shows it again.
bool measureRelaunches(FrameWatcher& watcher, bool keep, Results& results) {
    const auto hiding = relaunch(watcher, false);
    std::this_thread::sleep_for(hideSettleTime);
    const auto showing = hiding ? relaunch(watcher, true) : std::nullopt;
    if (!showing) {
        fail("a second launch did not hand over, or the panel it asked for never painted");
        return false;
    }
    if (keep) {
        results.handOverMs.push_back(hiding->handOverMs);
        results.handOverMs.push_back(showing->handOverMs);
        results.relaunchFrameMs.push_back(*showing->firstFrameMs);
        results.relaunchPeakMB =
            std::max({results.relaunchPeakMB, hiding->peakResidentMB, showing->peakResidentMB});
    }
    return true;
}

// Alternates the two programs so that both see the same machine load; one warm-up each first
// fills the page cache, which a user's later launches also find full.
bool measure(FrameWatcher& watcher, const PrivateHome& home, Results& results) {
    for (int round = -1; round < rounds; ++round) {
        const auto minimal = timeMinimalWindow(watcher);
        if (!minimal) {
            fail("the minimal window never painted");
            return false;
        }
        const Launch quorvane = launchQuorvane(watcher, home);
        if (!quorvane.firstFrameMs) {
            if (quorvane.pid > 0) {
                stop(quorvane.pid);
            }
            fail("the panel never painted");
            return false;
        }
        if (round == rounds - 1) {
            std::this_thread::sleep_for(idleTime);
            results.residentMB = quorvane::ResidentMemory::megabytes(
                "/proc/" + std::to_string(quorvane.pid) + "/statm");
        }
        if (!measureRelaunches(watcher, round >= 0, results)) {
            stop(quorvane.pid);
            return false;
        }
        stop(quorvane.pid);
        if (round >= 0) {
            results.minimalMs.push_back(*minimal);
            results.quorvaneMs.push_back(*quorvane.firstFrameMs);
        }
    }
    return true;
}

void writeDefaults(const PrivateHome& home) {
    // With onboarding done a cold start opens no window, the state the benchmark times.
    quorvane::UserDefaults defaults(home.configHome() / "Quorvane" / "defaults.json");
    defaults.setBool(quorvane::SettingsKey::hasCompletedOnboarding, true);
}

} // namespace

int main() {
    quorvane::test::XvfbDisplay xvfb(400);
    if (!xvfb.start()) {
        fail("could not start Xvfb");
        return 1;
    }
    setenv("DISPLAY", xvfb.name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("SENTRY_DSN");
    unsetenv("THRIM_SELFTEST");

    Results results;
    {
        const PrivateHome home;
        writeDefaults(home);
        FrameWatcher watcher;
        if (!watcher.open(xvfb.name())) {
            fail("the X server has no DAMAGE extension");
            return 1;
        }
        if (!measure(watcher, home, results)) {
            return 1;
        }
    }

    const double quorvaneMs = median(results.quorvaneMs);
    const double minimalMs = median(results.minimalMs);
    quorvane::bench::BenchTargets targets("bench_cold_start");
    std::printf("cold-start quorvane ms: %.1f\n", quorvaneMs);
    std::printf("cold-start minimal window ms: %.1f\n", minimalMs);
    targets.atMost("cold-start ratio", quorvaneMs / minimalMs, ratioLimit);
    targets.atMost("idle resident MB",
                   results.residentMB >= 0 ? std::optional(results.residentMB) : std::nullopt,
                   residentLimitMB, 1);

    const double handOverMs = median(results.handOverMs);
    std::printf("relaunch hand-over ms: %.2f\n", handOverMs);
    targets.atMost("relaunch hand-over / minimal window", handOverMs / minimalMs,
                   handOverRatioLimit, 3);
    std::printf("relaunch fork to panel's first frame ms: %.1f\n", median(results.relaunchFrameMs));
    std::printf("relaunch peak resident MB: %.1f\n", results.relaunchPeakMB);
    return targets.exitStatus();
}
