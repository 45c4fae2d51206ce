// From a press of the global hot key to the panel's first frame, under a private Xvfb that this
// program starts: the press is posted to the main queue exactly as the hot key's handler posts
// it, and the clock stops at the first paint of the new panel. Prints the median.
#include "engine/Log.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "shell/SpotlightController.h"
#include "state/AppState.h"

#include <signal.h>
#include <spdlog/sinks/null_sink.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quorvane;

constexpr int rounds = 30;

// A private X server on the first free display number, gone again with this object.
class Xvfb {
public:
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool start() {
        for (int number = 180; number < 280; ++number) {
            const auto socket = "/tmp/.X11-unix/X" + std::to_string(number);
            const auto lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) {
                continue;
            }
            name_ = ":" + std::to_string(number);
            pid_ = fork();
            if (pid_ == 0) {
                if (std::freopen("/dev/null", "w", stderr) == nullptr) {
                    _exit(126);
                }
                execlp("Xvfb", "Xvfb", name_.c_str(), "-screen", "0", "1280x800x24", "-nolisten",
                       "tcp", static_cast<char*>(nullptr));
                _exit(127);
            }
            if (waitForServer(socket)) {
                return true;
            }
        }
        return false;
    }

    const std::string& name() const { return name_; }

private:
    bool waitForServer(const std::string& socket) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            if (std::filesystem::exists(socket)) {
                auto* connection = xcb_connect(name_.c_str(), nullptr);
                const bool ok = !xcb_connection_has_error(connection);
                xcb_disconnect(connection);
                if (ok) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    pid_t pid_ = -1;
    std::string name_;
};

// Stops the clock at the first paint of whichever panel is current.
class FirstFrame : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || seen || watching == nullptr ||
            !watched->isWidgetType()) {
            return false;
        }
        if (static_cast<QWidget*>(watched)->window() == watching) {
            seen = true;
            elapsedMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
        return false;
    }

    QObject* watching = nullptr;
    QElapsedTimer timer;
    bool seen = false;
    double elapsedMs = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    Xvfb xvfb;
    if (!xvfb.start()) {
        std::fprintf(stderr, "bench_panel_show: could not start Xvfb\n");
        return 1;
    }
    const auto home = std::filesystem::temp_directory_path() /
                      ("quorvane-panel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("DISPLAY", xvfb.name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());

    std::vector<double> samples;
    {
        QApplication application(argc, argv);
        QtMainQueue queue;
        InMemoryPasteboard pasteboard;
        UserDefaults defaults(home / "defaults.json");
        AppState state(HistoryStore(defaults), KeyStore(home / "keys"), SettingsStore(defaults),
                       AppState::Services{.mainQueue = queue,
                                          .pasteboard = pasteboard,
                                          .presetDefaults = defaults});
        SpotlightController spotlight(state);
        FirstFrame frame;
        application.installEventFilter(&frame);

        for (int round = 0; round < rounds; ++round) {
            frame.seen = false;
            frame.watching = nullptr;
            frame.timer.start();
            // What the hot key's handler does with a press.
            queue.post([&] {
                spotlight.show();
                frame.watching = spotlight.panel();
            });
            QElapsedTimer patience;
            patience.start();
            while (!frame.seen && patience.elapsed() < 5000) {
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            if (frame.seen && round > 0) { // the first one pays for fonts and caches
                samples.push_back(frame.elapsedMs);
            }
            spotlight.hide();
            while (spotlight.panel() != nullptr && patience.elapsed() < 10000) {
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            }
        }
    }
    std::filesystem::remove_all(home);
    if (samples.empty()) {
        std::fprintf(stderr, "bench_panel_show: the panel never painted\n");
        return 1;
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("hotkey-to-first-frame median ms: %.1f\n", median);
    return median <= 50.0 ? 0 : 1;
}
