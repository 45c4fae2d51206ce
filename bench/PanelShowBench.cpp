// From a press of the global hot key to the panel's first frame, under a private Xvfb that this
// program starts: the press is posted to the main queue exactly as the hot key's handler posts
// it, and the clock stops at the first paint of the new panel. Prints the median.
#include "BenchTargets.h"
#include "engine/Log.h"
#include "harness/XvfbDisplay.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "shell/SpotlightController.h"
#include "state/AppState.h"

#include <spdlog/sinks/null_sink.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace quorvane;

constexpr int rounds = 30;
constexpr double firstFrameLimitMs = 50.0;

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
    test::XvfbDisplay xvfb(180);
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
    bench::BenchTargets targets("bench_panel_show");
    targets.atMost("hotkey-to-first-frame median ms", median, firstFrameLimitMs, 1);
    return targets.exitStatus();
}
