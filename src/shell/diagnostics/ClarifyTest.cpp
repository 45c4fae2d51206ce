#include "ClarifyTest.h"

#include "ReportWriter.h"
#include "engine/EnhanceOptions.h"
#include "engine/MetaPrompt.h"

#include <string>
#include <string_view>

namespace quorvane {

namespace {

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

void reportParsing() {
    const auto questions =
        MetaPrompt::parseQuestions("QUESTION: What programming language is the codebase in?\n"
                                   "QUESTION: Is there existing documentation?\n"
                                   "QUESTION: Any security-sensitive files?");
    ReportWriter::write("PARSED_QUESTIONS=" + std::to_string(questions.size()) + "\n");
    for (const std::string& question : questions) {
        ReportWriter::write("  Q: " + question + "\n");
    }
    const auto normal = MetaPrompt::parseQuestions(
        "You are a senior engineer. Build a CLI that...\n(no questions here)");
    ReportWriter::write("NORMAL_PARSED=" + std::to_string(normal.size()) + " (expect 0)\n");
}

void reportFollowUp() {
    const std::string message =
        MetaPrompt::followUp("make a cli", {{"What language?", "Rust"}, {"Docs?", ""}});
    ReportWriter::write(
        "FOLLOWUP_HAS_ANSWER=" + ReportWriter::boolean(contains(message, "A: Rust")) +
        " FOLLOWUP_HAS_JUDGMENT=" + ReportWriter::boolean(contains(message, "best judgment")) +
        " FOLLOWUP_NO_MORE_Q=" +
        ReportWriter::boolean(contains(message, "Do not ask any further questions")) + "\n");
}

void reportOptions() {
    const EnhanceOptions options{
        .tone = Tone::technical, .length = Length::concise, .audience = "beginners"};
    const std::string& base = MetaPrompt::forPreset(Preset::general);
    const std::string withOptions = MetaPrompt::system(base, options);
    const std::string withDefaults = MetaPrompt::system(base, EnhanceOptions{});
    ReportWriter::write(
        "OPTIONS clauseNonNil=" + ReportWriter::boolean(options.preferencesClause().has_value()) +
        " sysHasTone=" + ReportWriter::boolean(contains(withOptions, "technical tone")) +
        " sysHasAudience=" + ReportWriter::boolean(contains(withOptions, "beginners")) +
        " sysHasConcise=" + ReportWriter::boolean(contains(withOptions, "concise")) +
        " defaultIsClean=" +
        ReportWriter::boolean(!contains(withDefaults, "Additional preferences")) + "\n");

    const std::string custom = MetaPrompt::system("MY-UNIQUE-ROLE-TOKEN do the thing", options);
    ReportWriter::write(
        "CUSTOMROLE hasRole=" + ReportWriter::boolean(contains(custom, "MY-UNIQUE-ROLE-TOKEN")) +
        " keepsClarify=" + ReportWriter::boolean(contains(custom, "QUESTION:")) +
        " keepsOptions=" + ReportWriter::boolean(contains(custom, "technical tone")) + "\n");
}

} // namespace

void ClarifyTest::run(const DiagnosticContext& context) {
    reportParsing();
    reportFollowUp();
    reportOptions();
    context.terminate();
}

} // namespace quorvane
