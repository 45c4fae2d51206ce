// The built-in meta-prompts, the clarify protocol that lets a model ask
// questions before rewriting, and the assembly of the system prompt. Pure text.
#pragma once

#include "EnhanceOptions.h"
#include "Preset.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::MetaPrompt {

// The built-in instructions of a preset, used unchanged.
const std::string& forPreset(Preset preset);

// Appended to every system prompt: ask "QUESTION:" lines or answer with the prompt alone.
const std::string& clarifyInstruction();

// base, the options' clause when there is one, and the clarify instruction.
std::string system(std::string_view base, const EnhanceOptions& options);

// The questions of a reply, in reply order; empty when the reply is the rewritten prompt.
std::vector<std::string> parseQuestions(std::string_view reply);

// The second-turn user message carrying the answers (question, answer) to the questions.
std::string followUp(std::string_view draft,
                     const std::vector<std::pair<std::string, std::string>>& answers);

} // namespace quorvane::MetaPrompt
