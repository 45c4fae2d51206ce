// Building and showing the panel's view, and one re-read after a single state
// change, on the offscreen platform with a private home. Targets: one frame
// (16 ms) for build and show, 2 ms for the re-read; both medians are printed,
// with that of the editor card's shadow, the costliest part of the first paint.
#include "BenchTargets.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "state/AppState.h"
#include "ui/kit/SoftShadow.h"
#include "ui/panel/PopoverView.h"

#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace quorvane;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 60;
constexpr double buildLimitMs = 16.0;
constexpr double rereadLimitMs = 2.0;

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::filesystem::path privateHome() {
    auto home = std::filesystem::temp_directory_path() /
                ("quorvane-bench-panel-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        ::setenv(name, home.c_str(), 1);
    }
    return home;
}

// As the card's underlay paints it the first time: a fresh cache, cleared and shadowed.
double editorCardShadowMilliseconds() {
    std::vector<double> samples;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        QImage cache(494, 334, QImage::Format_ARGB32_Premultiplied);
        cache.fill(Qt::transparent);
        QPainter painter(&cache);
        painter.setRenderHint(QPainter::Antialiasing);
        SoftShadow::paintRoundedRect(painter, QRectF(27, 17, 440, 280), 22, QColor(0, 0, 0, 46), 26,
                                     QPointF(0, 10));
        painter.end();
        samples.push_back(millisecondsSince(start));
    }
    return median(samples);
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto home = privateHome();
    QApplication app(argc, argv);
    bench::BenchTargets targets("bench_panel_view");
    {
        UserDefaults defaults(home / "defaults.json");
        QtMainQueue queue;
        InMemoryPasteboard pasteboard;
        AppState state(HistoryStore(defaults), KeyStore(home / "keys"), SettingsStore(defaults),
                       AppState::Services{.mainQueue = queue,
                                          .pasteboard = pasteboard,
                                          .presetDefaults = defaults});
        std::vector<double> builds;
        std::vector<double> rereads;
        for (int round = 0; round < rounds; ++round) {
            const auto start = Clock::now();
            auto view = std::make_unique<PopoverView>(state, [] {});
            view->show();
            QApplication::processEvents();
            builds.push_back(millisecondsSince(start));

            state.setInputText("draft " + std::to_string(round));
            const auto reread = Clock::now();
            view->refreshNow();
            rereads.push_back(millisecondsSince(reread));
            QApplication::processEvents();
        }
        targets.atMost("popover build+show median ms", median(builds), buildLimitMs, 3);
        targets.atMost("popover re-read median ms", median(rereads), rereadLimitMs, 3);
        std::printf("editor card shadow median ms: %.3f\n", editorCardShadowMilliseconds());
    }
    std::filesystem::remove_all(home);
    return targets.exitStatus();
}
