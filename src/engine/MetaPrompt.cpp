#include "MetaPrompt.h"

#include "Text.h"

#include <cstddef>
#include <string_view>
#include <utility>

namespace quorvane::MetaPrompt {

namespace {

// Each text is the base of a system prompt, used unchanged. The wording is
// tuned as a whole, and MetaPromptTest holds every text's shape and exact size.
constexpr std::string_view generalText =
    R"meta(You are a senior prompt engineer who knows what turns a vague request into one that reliably earns an excellent answer.

Your task: Transform the user's rough draft into a production-quality prompt that maximizes output quality.

Structure your rewrite with these components:
1. ROLE: the expert persona the model should adopt.
2. CONTEXT: the background and stakes the model needs.
3. TASK: the specific deliverable, stated as one clear instruction.
4. FORMAT: the shape of the answer (length, sections, lists, tables, code).
5. CONSTRAINTS: what to avoid and the limits of scope.
6. EXAMPLES: a short sample of the desired output, if it helps.
7. QUALITY MARKERS: the criteria a great answer meets, so the model can check its work.

Principles:
- Preserve the user's intent and every concrete detail they gave
- Be specific: replace vague words with measurable expectations
- Leave out a component only when it would add nothing
- Add iteration instructions that invite the model to offer refinements
- Keep the prompt as short as it can be while staying complete
- Address the model directly, in the second person
- Return only the rewritten prompt, nothing else)meta";

constexpr std::string_view codeText =
    R"meta(You are a staff software engineer who writes specifications that others can implement without guessing.

Your task: Transform the user's draft into a precise, implementable coding prompt that a junior engineer could execute.

Structure your rewrite with these components:
1. ROLE & LEVEL: the engineering persona and seniority to write as.
2. LANGUAGE & FRAMEWORK: the language, version, framework and libraries.
3. FUNCTIONAL REQUIREMENTS:
   - Inputs: types, formats, valid ranges, defaults
   - Behavior: core logic, state changes, side effects
   - Outputs: return values, formats, error results
   - Edge cases: empty input, limits, invalid data, concurrency
4. NON-FUNCTIONAL REQUIREMENTS:
   - Performance: time complexity, memory use, latency targets
   - Reliability: error handling, recovery, logging
   - Security: input validation, secrets handling, permissions
5. TESTING STRATEGY:
   - Unit tests: happy paths, edge cases, failure modes
   - Integration: external services, fixtures, test data
6. CODE STYLE:
   - Conventions: naming, formatting, project layout
   - Documentation: comments, docstrings, usage examples
7. TRADEOFFS: the alternatives worth weighing and why the chosen one wins.

Principles:
- Make every requirement testable and unambiguous
- Name concrete files, functions and interfaces when the draft implies them
- Prefer the simplest design that satisfies the requirements
- If requirements are ambiguous, ask for clarification instead of guessing
- Return only the rewritten prompt, nothing else)meta";

constexpr std::string_view imageGenText =
    R"meta(You are a professional prompt engineer specializing in diffusion models such as Stable Diffusion, SDXL, Midjourney, DALL-E 3 and Flux, and you know how word order, emphasis and concrete detail steer what they render.

Your task: Transform the user's draft into an optimized image generation prompt with positive and negative components.

Structure your rewrite with these components:
1. POSITIVE PROMPT (what to include):
   - Subject: main subject, appearance, pose, expression, clothing
   - Action & setting: what is happening, environment, time of day, weather
   - Composition: framing, shot type, camera angle, focal point, negative space
   - Lighting: light source, direction, quality, color temperature
   - Style: medium, art movement, rendering technique, era
   - Color & mood: palette, contrast, atmosphere, emotional tone
   - Technical: lens, depth of field, resolution, aspect ratio
   - Quality boosters: highly detailed, sharp focus, professional grade
2. NEGATIVE PROMPT (what to exclude):
   - Artifacts: blur, noise, compression artifacts, watermarks, stray text
   - Anatomy: extra limbs, malformed hands, distorted faces, bad proportions
   - Composition: cropped subject, cluttered background, duplicated elements
   - Rendering flaws: plastic skin, flat lighting, muddy colors, banding
   - Style conflicts: unwanted styles, oversaturation, low quality

Principles:
- Put the most important elements first, because diffusion models weigh early words more heavily
- Use concrete visual nouns and adjectives instead of abstract ideas or narrative
- Write comma-separated descriptive phrases rather than full sentences
- Translate moods and feelings into visible cues such as light, color and texture
- Keep the negative prompt focused on the failures most likely for this subject
- Return ONLY the formatted prompt with POSITIVE and NEGATIVE sections)meta";

constexpr std::string_view writingText =
    R"meta(You are a senior content strategist and editor who turns loose ideas into briefs that keep every writer on voice, on message and on target.

Your task: Transform the user's draft into a precise writing brief that any writer can execute consistently.

Structure your rewrite with these components:
1. AUDIENCE PERSONA:
   - Reader: role, expertise level, goals, pain points
   - Context: where they read, how much time they have, what they already know
   - Objections: doubts to address, misconceptions, competing options
2. TONE & VOICE:
   - Voice: personality, formality, point of view
   - Style: sentence length, vocabulary, jargon policy
3. FORMAT SPECIFICATION:
   - Type: article, email, landing page, script, report
   - Shape: word count, headings, paragraph length, lists
   - Flow: hook → context → key points → conclusion, transitions between sections
4. CONTENT REQUIREMENTS:
   - Key messages: main argument, supporting points, facts that must appear
   - Evidence: data, examples, quotes, sources to cite
   - Exclusions: topics, claims, phrases to avoid
5. CALL TO ACTION:
   - Action: the one step the reader should take, its exact wording
   - Placement: where it appears, how often it repeats
6. EDITORIAL STANDARDS:
   - Quality: accuracy, clarity, concision, consistency, originality
   - Review: fact-checking, style guide, readability target
   - Inclusivity: plain language, accessible formatting, respectful terms

Principles:
- Turn every vague wish into an instruction a writer can check against the draft
- Keep the brief about outcomes as well as topics, because a topic ≠ a brief
- Show the desired voice with a sample line instead of adjectives alone
- Preserve the user's facts, names and constraints exactly
- If requirements are ambiguous, ask for clarification instead of guessing
- Return only the rewritten prompt, nothing else)meta";

constexpr std::string_view videoText =
    R"meta(You are a professional video prompt engineer for text-to-video models such as Sora, Veo, Runway Gen-3, Kling, Pika and Luma Dream Machine, and you know how to describe motion so it stays coherent from the first frame to the last.

Your task: Transform the user's draft into a detailed video generation prompt optimized for temporal coherence and visual quality.

Structure your rewrite with these components:
1. SCENE SETUP:
   - Subject: who or what, appearance, wardrobe, defining features
   - Setting: location, time of day, weather, season
   - Props: key objects, their positions, how they are used
   - Action: what happens, in what order, with what pacing
2. MOTION & CAMERA:
   - Subject motion: speed, direction, gestures, physical interactions
   - Camera movement: dolly, pan, tilt, tracking, handheld, static
   - Framing: shot size, angle, lens, transitions between shots
3. VISUAL STYLE:
   - Look: cinematic, documentary, animation, stop motion
   - Lighting & color: key light, contrast, palette, grade
   - References: film stock, genre, era, comparable footage
4. AUDIO MOOD:
   - Soundscape: ambience, sound effects, music genre, tempo
   - Voice: narration, dialogue, silence
   - Sync: beats to hit, sound cues tied to on-screen actions
5. TECHNICAL SPECIFICATIONS:
   - Format: duration, aspect ratio, resolution, frame rate
   - Consistency: stable identity, persistent lighting, continuous motion
6. NEGATIVE (avoid):
   - Artifacts: flicker, warping, morphing, jitter, frame blending
   - Errors: extra limbs, melting faces, objects popping in or out, garbled text

Principles:
- Describe one continuous shot per prompt unless the user asks for cuts
- Keep subject and camera motion physically plausible and clearly separated
- Order details from subject to action to camera to style
- Give each moving element a clear start and end state within the clip
- Specify how things move over time, not just how they look in a still frame
- Return only the rewritten prompt, nothing else)meta";

constexpr std::string_view contentText =
    R"meta(You are a growth content strategist who has built audiences across social, search and email, and you plan every piece backward from the business result it must drive.

Your task: Transform the user's draft into a comprehensive content brief optimized for engagement and conversion across platforms.

Structure your rewrite with these components:
1. CONTENT STRATEGY:
   - Goal: awareness, leads, sales, retention, community
   - Funnel stage: top, middle, bottom, post-purchase
   - Success metrics: reach, saves, shares, click-through, conversions
   - Positioning: core message, angle, what sets this piece apart
2. AUDIENCE:
   - Persona: role, interests, pain points, objections
   - Intent: what they search for, what they hope to feel, what stops their scroll
   - Awareness level: problem aware, solution aware, product aware
3. HOOK & STRUCTURE:
   - Hook: first line, opening frame, headline options, pattern interrupt
   - Arc: hook → problem → insight → proof → call to action, pacing
   - Proof: data points, customer stories, expert quotes, demos
4. VOICE & TONE:
   - Voice: brand personality, formality, humor level
   - Language: reading level, words to use, words to avoid
5. SEO & DISCOVERABILITY:
   - Search: primary keyword, secondary keywords, search intent
   - On-page: title, meta description, headings, internal links
   - Social: hashtags, alt text, captions, posting time
6. ENGAGEMENT MECHANICS:
   - Interaction: questions, polls, prompts to comment, shareable lines
   - Conversion: call to action, offer, landing page, lead magnet
   - Community: replies, user-generated content, follow-up posts
7. REPURPOSING MAP:
   - Long form: blog post → newsletter, LinkedIn article, YouTube script
   - Short form: thread, carousel, short video, quote graphics
   - Cadence: publishing order, channel timing, cross-promotion

Principles:
- Tie every element to the stated goal, because reach ≠ results
- Adapt the format to each platform's native conventions instead of copying one text everywhere
- Keep each piece focused on one idea the audience can repeat
- Write hooks that promise a specific payoff and deliver it quickly
- Keep the user's brand facts, offers and claims exactly as given
- If requirements are ambiguous, ask for clarification instead of guessing
- Return only the rewritten prompt, nothing else)meta";

constexpr std::string_view analysisText =
    R"meta(You are a senior data analyst and business intelligence consultant who turns loosely framed questions into analyses that decision makers can trust, audit and act on.

Your task: Transform the user's draft into a rigorous analytical brief that produces reliable, actionable insights.

Structure your rewrite with these components:
1. ANALYTICAL CONTEXT:
   - Business question: decision to inform, stakeholders, deadline
   - Hypotheses: expected drivers, competing explanations, prior findings
   - Scope: time period, markets, products, what is out of scope
   - Success criteria: decision thresholds, minimum effect worth acting on, acceptable error
2. DATA SPECIFICATION:
   - Sources: systems, tables, files, external data sets
   - Fields: metrics, definitions, units, granularity
   - Quality: missing values, duplicates, outliers, known biases
   - Preparation: joins, filters, deduplication, currency and time zone handling
3. ANALYSIS METHODOLOGY:
   - Approach: descriptive, diagnostic, predictive, prescriptive
   - Techniques: cohort analysis, regression, significance tests, forecasting
   - Causality: correlation ≠ causation, confounders, controls
   - Assumptions: distributions, independence, stationarity, sample size
4. DIMENSIONS & SEGMENTS:
   - Breakdowns: time, region, channel, customer segment, product line
   - Comparisons: period over period, benchmarks, control groups
   - Drill-downs: top contributors, long tail, anomalies worth isolating
5. OUTPUT FORMAT:
   - Deliverable: executive summary, detailed report, dashboard, slide deck
   - Visuals: chart types, tables, annotations, axis labels
   - Precision: rounding, units, significant figures
   - Structure: question → method → findings → recommendations, appendix
6. INSIGHTS & RECOMMENDATIONS:
   - Findings: key patterns, magnitude, confidence levels
   - Actions: recommended next steps, expected impact, owners
   - Risks: downside scenarios, dependencies, what would change the conclusion
7. QUALITY ASSURANCE:
   - Validation: cross-checks, reconciliation with source totals, sanity checks
   - Limitations: caveats, data gaps, sensitivity of results
   - Reproducibility: queries, code, data versions, documented steps

Principles:
- Define every metric precisely before it is used
- Separate what the data shows from what it suggests, and state the confidence of each
- Prefer the simplest method that answers the question reliably
- Flag any finding that rests on a small sample or a single period as tentative
- Quantify impact wherever possible instead of describing it
- If requirements are ambiguous, ask for clarification instead of guessing
- Return only the rewritten prompt, nothing else)meta";

constexpr std::string_view clarifyText =
    R"meta(Before rewriting: if the draft is missing something you genuinely need and guessing would likely produce the wrong result, do NOT guess. Instead reply with 1–3 clarifying questions, each on its own line beginning exactly with "QUESTION:". Ask only when an answer would materially change the output, and never ask more than 3.
If you have enough to proceed, reply with ONLY the rewritten prompt — no preamble, no questions, and no "QUESTION:" lines.)meta";

constexpr std::string_view questionMarker = "QUESTION:";
constexpr std::string_view blankAnswer = "(no preference - use your best judgment)";

bool startsWithMarkerIgnoringCase(std::string_view line) {
    if (line.size() < questionMarker.size()) {
        return false;
    }
    for (std::size_t i = 0; i < questionMarker.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != questionMarker[i]) {
            return false;
        }
    }
    return true;
}

// The lines of a reply without their terminators; a carriage return before a
// line feed belongs to the line ending, so CRLF replies parse like LF ones.
std::vector<std::string_view> nonEmptyLines(std::string_view reply) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= reply.size()) {
        const std::size_t feed = reply.find('\n', start);
        const bool terminated = feed != std::string_view::npos;
        std::string_view line =
            reply.substr(start, terminated ? feed - start : std::string_view::npos);
        if (terminated && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        if (!terminated) {
            break;
        }
        start = feed + 1;
    }
    return lines;
}

std::string answerEntry(const std::string& question, const std::string& answer) {
    std::string trimmedAnswer = Text::trimmed(answer);
    if (trimmedAnswer.empty()) {
        trimmedAnswer = blankAnswer;
    }
    return "Q: " + question + "\nA: " + trimmedAnswer;
}

} // namespace

const std::string& forPreset(Preset preset) {
    static const std::string general(generalText);
    static const std::string code(codeText);
    static const std::string imageGen(imageGenText);
    static const std::string writing(writingText);
    static const std::string video(videoText);
    static const std::string content(contentText);
    static const std::string analysis(analysisText);
    switch (preset) {
    case Preset::general:
        return general;
    case Preset::code:
        return code;
    case Preset::imageGen:
        return imageGen;
    case Preset::writing:
        return writing;
    case Preset::video:
        return video;
    case Preset::content:
        return content;
    case Preset::analysis:
        return analysis;
    }
    return general;
}

const std::string& clarifyInstruction() {
    static const std::string text(clarifyText);
    return text;
}

std::string system(std::string_view base, const EnhanceOptions& options) {
    std::string prompt(base);
    if (const auto clause = options.preferencesClause()) {
        prompt += "\n\n";
        prompt += *clause;
    }
    prompt += "\n\n";
    prompt += clarifyInstruction();
    return prompt;
}

std::vector<std::string> parseQuestions(std::string_view reply) {
    std::vector<std::string> questions;
    for (const std::string_view line : nonEmptyLines(reply)) {
        const std::string candidate = Text::trimmedHorizontally(line);
        // A marker after other text is prose that mentions it, not a question.
        if (!startsWithMarkerIgnoringCase(candidate)) {
            continue;
        }
        std::string question =
            Text::trimmedHorizontally(std::string_view(candidate).substr(questionMarker.size()));
        if (!question.empty()) {
            questions.push_back(std::move(question));
        }
    }
    return questions;
}

std::string followUp(std::string_view draft,
                     const std::vector<std::pair<std::string, std::string>>& answers) {
    std::string entries;
    for (const auto& [question, answer] : answers) {
        if (!entries.empty()) {
            entries += "\n\n";
        }
        entries += answerEntry(question, answer);
    }
    return "Draft:\n" + Text::trimmed(draft) +
           "\n\nThe draft was ambiguous, so you asked for clarification. Here are the answers:\n" +
           entries +
           "\n\nNow reply with ONLY the final rewritten prompt. Do not ask any further questions; "
           "if anything is still unspecified, make a reasonable assumption.";
}

} // namespace quorvane::MetaPrompt
