// Three variations beside one enhancement, both through AppState against a
// loopback server that answers every request after the same fixed delay. The
// three children run concurrently, so the whole run should take at most 1.2
// times a single enhancement; the ratio is printed at the end.
#include "BenchTargets.h"
#include "ChatServer.h"
#include "engine/Log.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "platform/task/MainQueue.h"
#include "state/AppState.h"

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <spdlog/sinks/null_sink.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using namespace quorvane;

constexpr auto replyDelay = std::chrono::milliseconds(50);
// Three concurrent children against one request.
constexpr double ratioLimit = 1.2;

// The main thread's queue, run by the benchmark thread until a flow ends.
class BlockingQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(work));
        }
        posted_.notify_one();
    }

    void runUntil(const bool& done) {
        while (!done) {
            std::function<void()> next;
            {
                std::unique_lock lock(mutex_);
                posted_.wait(lock, [this] { return !pending_.empty(); });
                next = std::move(pending_.front());
                pending_.pop_front();
            }
            next();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> pending_;
};

// Everything the state keeps lives in a private temporary directory.
struct Fixture {
    Fixture()
        : directory(makeDirectory())
        , defaults(directory / "defaults.json") {
        defaults.setString(SettingsKey::activeProvider, "custom");
        defaults.setString(SettingsKey::activeModel, "bench-model");
        defaults.setString(SettingsKey::customBaseURL, server.baseUrl());
        ::setenv("THRIM_CUSTOM_API_KEY", "sk-bench", 1);
        state = std::make_unique<AppState>(
            HistoryStore(defaults), KeyStore(directory / "keys"), SettingsStore(defaults),
            AppState::Services{
                .mainQueue = queue, .pasteboard = pasteboard, .presetDefaults = defaults});
        state->setInputText("Write a haiku about the sea.");
    }
    ~Fixture() {
        state.reset();
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    static std::filesystem::path makeDirectory() {
        std::string pattern = std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary directory");
        }
        return pattern;
    }

    bench::ChatServer server{[](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(replyDelay);
        res.set_content(R"({"choices":[{"message":{"content":"A rewritten prompt."}}]})",
                        "application/json");
    }};
    std::filesystem::path directory;
    UserDefaults defaults;
    BlockingQueue queue;
    InMemoryPasteboard pasteboard;
    std::unique_ptr<AppState> state;
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void singleEnhancement(benchmark::State& state) {
    AppState& app = *fixture().state;
    for (auto _ : state) {
        bool done = false;
        app.enhance([&] { done = true; });
        fixture().queue.runUntil(done);
        if (app.outputText().empty()) {
            state.SkipWithError("the enhancement failed");
            break;
        }
    }
}

void threeVariations(benchmark::State& state) {
    AppState& app = *fixture().state;
    for (auto _ : state) {
        bool done = false;
        app.generateVariations(3, [&] { done = true; });
        fixture().queue.runUntil(done);
        if (app.variations().size() != 3) {
            state.SkipWithError("the variations failed");
            break;
        }
    }
}

BENCHMARK(singleEnhancement)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(threeVariations)->UseRealTime()->Unit(benchmark::kMillisecond);

// Prints the usual table, then the variations' time over the single request's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                perIteration_[run.run_name.function_name] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
    }

    std::optional<double> ratio() const {
        const auto variations = perIteration_.find("threeVariations");
        const auto single = perIteration_.find("singleEnhancement");
        if (variations == perIteration_.end() || single == perIteration_.end() ||
            single->second <= 0) {
            return std::nullopt;
        }
        return variations->second / single->second;
    }

private:
    std::map<std::string, double> perIteration_;
};

} // namespace

int main(int argc, char** argv) {
    // Benchmark runs stay out of the user's journal.
    Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bench::BenchTargets targets("bench_variations");
    targets.atMost("variations/single ratio", reporter.ratio(), ratioLimit, 3);
    return targets.exitStatus();
}
