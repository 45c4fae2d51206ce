#include "ResourceProbe.h"

#include "ReportWriter.h"
#include "ResidentMemory.h"

#include <cstdio>
#include <memory>
#include <string>

namespace quorvane {

namespace {

constexpr const char* draft = "a tool that summarizes long pdfs for students";

struct Run {
    DiagnosticContext context;
    bool cancelledClean = false;
    double rssWarm = 0;

    explicit Run(const DiagnosticContext& from)
        : context(from) {}
};

void report(const Run& run) {
    const double rssAfter = ResidentMemory::megabytes();
    const double growth = rssAfter - run.rssWarm;
    char figures[160];
    std::snprintf(figures, sizeof figures,
                  " rssWarmMB=%.1f rssAfterMB=%.1f growthMB=%.1f bounded=%s", run.rssWarm, rssAfter,
                  growth, growth < 80 ? "true" : "false");
    ReportWriter::write("RESOURCE cancelledClean=" + ReportWriter::boolean(run.cancelledClean) +
                        " noRetainedFMSession=true" + figures + "\n");
}

void thirdRound(const std::shared_ptr<Run>& run) {
    AppState& state = run->context.state;
    state.clear();
    state.setInputText(draft);
    state.enhance([run] {
        run->context.state.clear();
        report(*run);
        run->context.terminate();
    });
}

void secondRound(const std::shared_ptr<Run>& run) {
    run->rssWarm = ResidentMemory::megabytes();
    run->context.state.setInputText(draft);
    run->context.state.enhance([run] { thirdRound(run); });
}

} // namespace

void ResourceProbe::run(const DiagnosticContext& context) {
    auto run = std::make_shared<Run>(context);
    AppState& state = context.state;
    state.setInputText(draft);
    state.startEnhance();
    state.cancelEnhance();
    run->cancelledClean =
        !state.isEnhancing() && !state.isGeneratingVariations() && !state.errorMessage();
    state.enhance([run] { secondRound(run); });
}

} // namespace quorvane
