#pragma once

#include "GenerationOptions.h"

#include <stop_token>
#include <string>

namespace quorvane {

// One conversation with a language model, opened with its instructions and
// without tools.
class LanguageModelSession {
public:
    virtual ~LanguageModelSession() = default;

    // The content of the model's response. Throws GenerationError when the
    // model fails, and CancellationError once the stop token is asked to stop.
    virtual std::string respond(const std::string& prompt, const GenerationOptions& options,
                                std::stop_token stop) = 0;
};

} // namespace quorvane
