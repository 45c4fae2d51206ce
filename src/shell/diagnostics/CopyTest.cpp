#include "CopyTest.h"

#include "ReportWriter.h"
#include "engine/Text.h"
#include "platform/pasteboard/QtPasteboard.h"

#include <memory>
#include <optional>
#include <string>

namespace quorvane {

namespace {

constexpr const char* beforeMarker = "BEFORE-MARKER";

struct Run {
    DiagnosticContext context;
    bool rememberedAutoCopy = false;
    // The same system clipboard the state copies to.
    QtPasteboard pasteboard;

    explicit Run(const DiagnosticContext& from)
        : context(from) {}

    bool clipMatchesOutput() const {
        const std::optional<std::string> clip = pasteboard.string();
        return clip.has_value() && *clip == context.state.outputText();
    }

    std::string outLen() const {
        return std::to_string(Text::characterCount(context.state.outputText()));
    }

    void finish() {
        context.state.setAutoCopyOutput(rememberedAutoCopy);
        context.terminate();
    }
};

void afterSecondPass(const std::shared_ptr<Run>& run) {
    ReportWriter::write("COPYTEST_PASS2 outLen=" + run->outLen() + " clipMatchesOutput=" +
                        ReportWriter::boolean(run->clipMatchesOutput()) + "\n");
    run->finish();
}

void afterFirstPass(const std::shared_ptr<Run>& run) {
    AppState& state = run->context.state;
    const bool asked = !state.pendingQuestions().empty();
    const std::optional<std::string> clip = run->pasteboard.string();
    const bool changed = !clip.has_value() || *clip != beforeMarker;
    ReportWriter::write("COPYTEST_PASS1 asked=" + ReportWriter::boolean(asked) +
                        " outLen=" + run->outLen() +
                        " clipMatchesOutput=" + ReportWriter::boolean(run->clipMatchesOutput()) +
                        " clipChanged=" + ReportWriter::boolean(changed) + "\n");
    if (!asked) {
        run->finish();
        return;
    }
    state.submitAnswers([run] { afterSecondPass(run); });
}

} // namespace

void CopyTest::run(const DiagnosticContext& context) {
    auto run = std::make_shared<Run>(context);
    AppState& state = context.state;
    run->rememberedAutoCopy = state.autoCopyOutput();
    run->pasteboard.clearContents();
    run->pasteboard.setString(beforeMarker);
    state.setAutoCopyOutput(true);
    state.setInputText(
        "Write a haiku about the ocean at dawn, exactly 5-7-5 syllables, in English.");
    state.enhance([run] { afterFirstPass(run); });
}

} // namespace quorvane
