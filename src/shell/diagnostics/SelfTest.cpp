#include "SelfTest.h"

#include "ReportWriter.h"
#include "engine/Log.h"
#include "engine/Text.h"

#include <string>

namespace quorvane {

namespace {

void report(const AppState& state) {
    if (const auto& error = state.errorMessage()) {
        Log::app().error("SELFTEST: error = %s", *error);
        ReportWriter::write("SELFTEST_ERROR: " + *error + "\n");
        return;
    }
    if (const auto& questions = state.pendingQuestions(); !questions.empty()) {
        ReportWriter::write("SELFTEST_QUESTIONS=" + std::to_string(questions.size()) + "\n");
        for (const std::string& question : questions) {
            ReportWriter::write("  Q: " + question + "\n");
        }
        return;
    }
    const std::size_t length = Text::characterCount(state.outputText());
    Log::app().log("SELFTEST: ok, %ld chars", static_cast<long>(length));
    ReportWriter::write("SELFTEST_OK len=" + std::to_string(length) + "\n");
    ReportWriter::write("OUTPUT:\n" + state.outputText() + "\n");
}

} // namespace

void SelfTest::run(const DiagnosticContext& context) {
    Log::app().log("SELFTEST: starting FM enhance under sandbox");
    AppState& state = context.state;
    state.setInputText("a tool that summarizes long pdfs for students");
    state.enhance([&state, terminate = context.terminate] {
        report(state);
        terminate();
    });
}

} // namespace quorvane
