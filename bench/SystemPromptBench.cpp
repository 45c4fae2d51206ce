#include "engine/EnhancementService.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace quorvane {
namespace {

// One run per built-in preset; the argument indexes the preset list.
void presetArguments(benchmark::internal::Benchmark* bench) {
    for (std::size_t i = 0; i < allCases<Preset>().size(); ++i) {
        bench->Arg(static_cast<int64_t>(i));
    }
}

void runSystemPrompt(benchmark::State& state, const EnhanceOptions& options) {
    const Preset preset = allCases<Preset>()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(rawValue(preset)));
    for (auto _ : state) {
        std::string prompt =
            EnhancementService::systemPrompt(preset, options, std::nullopt, std::nullopt);
        benchmark::DoNotOptimize(prompt);
    }
}

void BM_SystemPromptDefaultOptions(benchmark::State& state) {
    runSystemPrompt(state, EnhanceOptions{});
}

void BM_SystemPromptAllOptions(benchmark::State& state) {
    runSystemPrompt(state, EnhanceOptions{Tone::technical, Length::detailed, "  data engineers "});
}

BENCHMARK(BM_SystemPromptDefaultOptions)->Apply(presetArguments);
BENCHMARK(BM_SystemPromptAllOptions)->Apply(presetArguments);

} // namespace
} // namespace quorvane

BENCHMARK_MAIN();
