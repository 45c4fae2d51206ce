#include "engine/MetaPrompt.h"

#include "engine/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {
namespace {

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(separator, start)) != std::string::npos;) {
        parts.push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool startsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// A piece of a sub-line: non-empty, no separators inside, no spaces at its ends.
bool isPlainItem(std::string_view item) {
    return !item.empty() && item.front() != ' ' && item.back() != ' ' &&
           item.find_first_of(":,") == std::string_view::npos;
}

// "   - Label: aspect, aspect[, ...]".
bool isAspectLine(std::string_view line) {
    constexpr std::string_view indent = "   - ";
    if (!startsWith(line, indent)) {
        return false;
    }
    line.remove_prefix(indent.size());
    const std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos || !isPlainItem(line.substr(0, colon))) {
        return false;
    }
    const std::vector<std::string> aspects = split(std::string(line.substr(colon + 2)), ", ");
    return aspects.size() >= 2 && std::all_of(aspects.begin(), aspects.end(),
                                              [](const auto& a) { return isPlainItem(a); });
}

// Which extra principle a text carries beside the output directive.
enum class ExtraPrinciple { none, clarifyBeforeDirective, iterationFourthOfSeven };

struct MetaPromptRules {
    Preset preset;
    std::size_t bytes;
    std::string roleStart;
    std::string taskLine;
    std::vector<std::string> headings;
    std::set<std::size_t> oneLineComponents; // 1-based
    std::vector<std::string> namedGenerators;
    ExtraPrinciple extra;
    bool nonAscii;
};

const std::string answerDirective = "- Return only the rewritten prompt, nothing else";
const std::string imageDirective =
    "- Return ONLY the formatted prompt with POSITIVE and NEGATIVE sections";

std::ostream& operator<<(std::ostream& out, const MetaPromptRules& rules) {
    return out << rawValue(rules.preset);
}

class MetaPromptRulesTest : public testing::TestWithParam<MetaPromptRules> {
protected:
    const std::string& text() const { return MetaPrompt::forPreset(GetParam().preset); }
    std::vector<std::string> paragraphs() const { return split(text(), "\n\n"); }
    std::vector<std::string> principles() const {
        auto lines = split(paragraphs().back(), "\n");
        return {lines.begin() + 1, lines.end()};
    }
};

TEST_P(MetaPromptRulesTest, HasItsExactSizeInBytes) {
    EXPECT_EQ(text().size(), GetParam().bytes);
    EXPECT_TRUE(Text::isValidUTF8(text()));
}

TEST_P(MetaPromptRulesTest, IsFourParagraphsSeparatedByOneEmptyLine) {
    const auto parts = paragraphs();
    ASSERT_EQ(parts.size(), 4u);
    for (const auto& part : parts) {
        for (const auto& line : split(part, "\n")) {
            if (Text::isBlank(line)) {
                ADD_FAILURE() << "blank line inside a paragraph";
                continue;
            }
            EXPECT_NE(line.back(), ' ') << line;
        }
    }
    EXPECT_NE(text().back(), '\n');
}

TEST_P(MetaPromptRulesTest, OpensWithTheRoleAndTheTaskLine) {
    const auto& rules = GetParam();
    const auto parts = paragraphs();
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_TRUE(startsWith(parts[0], rules.roleStart)) << parts[0];
    EXPECT_FALSE(contains(parts[0], "\n"));
    for (const auto& generator : rules.namedGenerators) {
        EXPECT_TRUE(contains(parts[0], generator)) << generator;
    }
    EXPECT_EQ(parts[1], rules.taskLine);
    EXPECT_TRUE(startsWith(parts[1], "Your task: Transform the user's"));
}

TEST_P(MetaPromptRulesTest, ListsItsComponentsInOrderAndInTheirForm) {
    const auto& rules = GetParam();
    const auto parts = paragraphs();
    ASSERT_EQ(parts.size(), 4u);
    const auto lines = split(parts[2], "\n");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Structure your rewrite with these components:");

    std::size_t index = 1;
    for (std::size_t number = 1; number <= rules.headings.size(); ++number) {
        ASSERT_LT(index, lines.size()) << "component " << number << " is missing";
        const std::string heading = std::to_string(number) + ". " + rules.headings[number - 1];
        const std::string& line = lines[index++];
        if (rules.oneLineComponents.count(number) != 0) {
            EXPECT_TRUE(startsWith(line, heading + " ")) << line;
            EXPECT_GT(line.size(), heading.size() + 10) << line;
            continue;
        }
        EXPECT_EQ(line, heading);
        std::size_t subLines = 0;
        for (; index < lines.size() && startsWith(lines[index], " "); ++index, ++subLines) {
            EXPECT_TRUE(isAspectLine(lines[index])) << lines[index];
        }
        EXPECT_GE(subLines, 2u) << heading;
        EXPECT_LE(subLines, 9u) << heading;
    }
    EXPECT_EQ(index, lines.size()) << "more components than headings";
}

TEST_P(MetaPromptRulesTest, EndsWithPrinciplesAndTheOutputDirective) {
    const auto& rules = GetParam();
    const auto parts = paragraphs();
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_TRUE(startsWith(parts[3], "Principles:\n"));
    const auto lines = principles();
    EXPECT_GE(lines.size(), 4u);
    EXPECT_LE(lines.size(), 7u);
    for (const auto& line : lines) {
        EXPECT_TRUE(startsWith(line, "- ")) << line;
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), rules.preset == Preset::imageGen ? imageDirective : answerDirective);
}

TEST_P(MetaPromptRulesTest, PlacesTheClarifyOrIterationPrinciple) {
    const auto& rules = GetParam();
    const auto lines = principles();
    std::vector<std::size_t> clarifying;
    std::vector<std::size_t> iterating;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (contains(lines[i], "clarification")) {
            clarifying.push_back(i);
        }
        if (contains(lines[i], "iteration")) {
            iterating.push_back(i);
        }
    }
    switch (rules.extra) {
    case ExtraPrinciple::clarifyBeforeDirective:
        ASSERT_EQ(clarifying, std::vector<std::size_t>{lines.size() - 2});
        EXPECT_TRUE(contains(lines[lines.size() - 2], "ambiguous"));
        EXPECT_TRUE(iterating.empty());
        break;
    case ExtraPrinciple::iterationFourthOfSeven:
        EXPECT_EQ(lines.size(), 7u);
        EXPECT_EQ(iterating, std::vector<std::size_t>{3});
        EXPECT_TRUE(clarifying.empty());
        break;
    case ExtraPrinciple::none:
        EXPECT_TRUE(clarifying.empty());
        EXPECT_TRUE(iterating.empty());
        break;
    }
}

TEST_P(MetaPromptRulesTest, UsesArrowsAndTheNotEqualSignOnlyWhereMeant) {
    const auto& rules = GetParam();
    std::string outsideAscii = text();
    for (const std::string_view allowed : {"→", "≠"}) {
        for (std::size_t at; (at = outsideAscii.find(allowed)) != std::string::npos;) {
            outsideAscii.erase(at, allowed.size());
        }
    }
    const bool onlyAscii = std::all_of(outsideAscii.begin(), outsideAscii.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    EXPECT_TRUE(onlyAscii) << "unexpected non-ASCII text";
    EXPECT_EQ(contains(text(), "→"), rules.nonAscii);
    EXPECT_EQ(contains(text(), "≠"), rules.nonAscii);
}

TEST_P(MetaPromptRulesTest, HoldsNoPlaceholders) {
    for (const char c : {'{', '}', '<', '>', '[', ']', '\t', '\r'}) {
        EXPECT_EQ(text().find(c), std::string::npos) << c;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, MetaPromptRulesTest,
    testing::Values(
        MetaPromptRules{Preset::general,
                        1165,
                        "You are a senior prompt engineer",
                        "Your task: Transform the user's rough draft into a production-quality "
                        "prompt that maximizes output quality.",
                        {"ROLE:", "CONTEXT:", "TASK:", "FORMAT:", "CONSTRAINTS:", "EXAMPLES:",
                         "QUALITY MARKERS:"},
                        {1, 2, 3, 4, 5, 6, 7},
                        {},
                        ExtraPrinciple::iterationFourthOfSeven,
                        false},
        MetaPromptRules{
            Preset::code,
            1531,
            "You are a staff software engineer",
            "Your task: Transform the user's draft into a precise, implementable "
            "coding prompt that a junior engineer could execute.",
            {"ROLE & LEVEL:", "LANGUAGE & FRAMEWORK:", "FUNCTIONAL REQUIREMENTS:",
             "NON-FUNCTIONAL REQUIREMENTS:", "TESTING STRATEGY:", "CODE STYLE:", "TRADEOFFS:"},
            {1, 2, 7},
            {},
            ExtraPrinciple::clarifyBeforeDirective,
            false},
        MetaPromptRules{
            Preset::imageGen,
            1873,
            "You are a professional prompt engineer specializing in diffusion models",
            "Your task: Transform the user's draft into an optimized image generation "
            "prompt with positive and negative components.",
            {"POSITIVE PROMPT (what to include):", "NEGATIVE PROMPT (what to exclude):"},
            {},
            {"Stable Diffusion", "Midjourney", "DALL-E"},
            ExtraPrinciple::none,
            false},
        MetaPromptRules{Preset::writing,
                        1873,
                        "You are a senior content strategist and editor",
                        "Your task: Transform the user's draft into a precise writing brief that "
                        "any writer can execute consistently.",
                        {"AUDIENCE PERSONA:", "TONE & VOICE:", "FORMAT SPECIFICATION:",
                         "CONTENT REQUIREMENTS:", "CALL TO ACTION:", "EDITORIAL STANDARDS:"},
                        {},
                        {},
                        ExtraPrinciple::clarifyBeforeDirective,
                        true},
        MetaPromptRules{Preset::video,
                        2006,
                        "You are a professional video prompt engineer",
                        "Your task: Transform the user's draft into a detailed video generation "
                        "prompt optimized for temporal coherence and visual quality.",
                        {"SCENE SETUP:", "MOTION & CAMERA:", "VISUAL STYLE:", "AUDIO MOOD:",
                         "TECHNICAL SPECIFICATIONS:", "NEGATIVE (avoid):"},
                        {},
                        {"Sora", "Veo", "Runway"},
                        ExtraPrinciple::none,
                        false},
        MetaPromptRules{Preset::content,
                        2352,
                        "You are a growth content strategist",
                        "Your task: Transform the user's draft into a comprehensive content brief "
                        "optimized for engagement and conversion across platforms.",
                        {"CONTENT STRATEGY:", "AUDIENCE:", "HOOK & STRUCTURE:", "VOICE & TONE:",
                         "SEO & DISCOVERABILITY:", "ENGAGEMENT MECHANICS:", "REPURPOSING MAP:"},
                        {},
                        {},
                        ExtraPrinciple::clarifyBeforeDirective,
                        true},
        MetaPromptRules{Preset::analysis,
                        2699,
                        "You are a senior data analyst and business intelligence consultant",
                        "Your task: Transform the user's draft into a rigorous analytical brief "
                        "that produces reliable, actionable insights.",
                        {"ANALYTICAL CONTEXT:", "DATA SPECIFICATION:", "ANALYSIS METHODOLOGY:",
                         "DIMENSIONS & SEGMENTS:", "OUTPUT FORMAT:", "INSIGHTS & RECOMMENDATIONS:",
                         "QUALITY ASSURANCE:"},
                        {},
                        {},
                        ExtraPrinciple::clarifyBeforeDirective,
                        true}),
    [](const testing::TestParamInfo<MetaPromptRules>& info) {
        return std::string(rawValue(info.param.preset));
    });

TEST(MetaPromptTest, EveryPresetHasItsOwnStableText) {
    std::set<std::string> seen;
    for (const Preset preset : allCases<Preset>()) {
        EXPECT_EQ(&MetaPrompt::forPreset(preset), &MetaPrompt::forPreset(preset));
        EXPECT_TRUE(seen.insert(MetaPrompt::forPreset(preset)).second) << rawValue(preset);
    }
}

TEST(MetaPromptTest, ClarifyInstructionIsTheFixedTwoLineText) {
    const std::string expected =
        "Before rewriting: if the draft is missing something you genuinely need and guessing "
        "would likely produce the wrong result, do NOT guess. Instead reply with 1\u20133 "
        "clarifying questions, each on its own line beginning exactly with \"QUESTION:\". Ask "
        "only when an answer would materially change the output, and never ask more than 3.\n"
        "If you have enough to proceed, reply with ONLY the rewritten prompt \u2014 no preamble, "
        "no questions, and no \"QUESTION:\" lines.";
    EXPECT_EQ(MetaPrompt::clarifyInstruction(), expected);
    EXPECT_EQ(MetaPrompt::clarifyInstruction().size(), 452u);
    EXPECT_EQ(split(MetaPrompt::clarifyInstruction(), "\n").size(), 2u);
}

TEST(MetaPromptTest, SystemPromptAppendsClauseAndClarifyInstruction) {
    const std::string& clarify = MetaPrompt::clarifyInstruction();
    EXPECT_EQ(MetaPrompt::system("Base", EnhanceOptions{Tone::auto_, Length::auto_, " \t "}),
              "Base\n\n" + clarify);

    const EnhanceOptions options{Tone::casual, Length::auto_, ""};
    EXPECT_EQ(MetaPrompt::system("Base", options),
              "Base\n\n" + *options.preferencesClause() + "\n\n" + clarify);

    // The base is the caller's business: it is used as given, untrimmed.
    EXPECT_EQ(MetaPrompt::system(" Base\n", EnhanceOptions{}), " Base\n\n\n" + clarify);
}

struct ParseCase {
    const char* name;
    std::string reply;
    std::vector<std::string> questions;
};

class MetaPromptParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(MetaPromptParseTest, FindsQuestionLines) {
    EXPECT_EQ(MetaPrompt::parseQuestions(GetParam().reply), GetParam().questions);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, MetaPromptParseTest,
    testing::Values(
        ParseCase{"MarkerLinesAnyCaseAndIndent",
                  "Hello there!\nQUESTION: Which language?\n   question:   Which version? \n"
                  "QUESTION:",
                  {"Which language?", "Which version?"}},
        ParseCase{"MarkerInsideASentenceIsAnAnswer",
                  "Write a FAQ where each entry starts with QUESTION: and an answer.",
                  {}},
        ParseCase{"NumberedMarkerIsNotAQuestion", "1. QUESTION: Who reads it?", {}},
        ParseCase{"PluralIsNotTheMarker", "QUESTIONS: none", {}},
        ParseCase{"NoUpperLimit",
                  "QUESTION: a\nQUESTION: b\nQUESTION: c\nQUESTION: d",
                  {"a", "b", "c", "d"}},
        ParseCase{"OtherLinesAreIgnored",
                  "Some preamble\n\n\nQuestion:\tTabbed?\nmore prose\nqUeStIoN:Tight?",
                  {"Tabbed?", "Tight?"}},
        ParseCase{"CarriageReturnBelongsToTheLineEnding",
                  "QUESTION: First?\r\nQUESTION: Second?\r\n\r\nQUESTION: Third?",
                  {"First?", "Second?", "Third?"}},
        ParseCase{"UnicodeSpacesAreTrimmed",
                  "\u00a0QUESTION:\u2003Which market?\u3000",
                  {"Which market?"}},
        ParseCase{"MarkerWithOnlySpacesYieldsNothing", "QUESTION:   \t\nQUESTION:\r\n", {}},
        ParseCase{"EmptyReply", "", {}},
        ParseCase{"PlainRewrite", "You are an expert.\nDo the thing.", {}},
        ParseCase{
            "MultiByteTextIsKept", "QUESTION: Should arrows → stay?", {"Should arrows → stay?"}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

const std::string ambiguous =
    "\n\nThe draft was ambiguous, so you asked for clarification. Here are the answers:\n";
const std::string closing =
    "\n\nNow reply with ONLY the final rewritten prompt. Do not ask any further questions; if "
    "anything is still unspecified, make a reasonable assumption.";

TEST(MetaPromptTest, FollowUpCarriesEveryAnswerAndFillsBlankOnes) {
    const std::string message = MetaPrompt::followUp(
        "  Write a poem\n",
        {{"Which form?", "  sonnet \n"}, {" Which mood? ", " \n\t"}, {"Length?", "14 lines"}});
    EXPECT_EQ(message, "Draft:\nWrite a poem" + ambiguous +
                           "Q: Which form?\nA: sonnet\n\n"
                           "Q:  Which mood? \nA: (no preference - use your best judgment)\n\n"
                           "Q: Length?\nA: 14 lines" +
                           closing);
}

TEST(MetaPromptTest, FollowUpWithoutAnswersKeepsTheFrame) {
    EXPECT_EQ(MetaPrompt::followUp("draft", {}), "Draft:\ndraft" + ambiguous + closing);
}

} // namespace
} // namespace quorvane
