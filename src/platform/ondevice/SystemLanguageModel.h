// The system's on-device language model. Linux offers none, so the default
// model reports itself unavailable because the device is not eligible; tests
// put a model of their own in its place.
#pragma once

#include "LanguageModelSession.h"
#include "ModelAvailability.h"

#include <memory>
#include <string>

namespace quorvane {

class SystemLanguageModel {
public:
    virtual ~SystemLanguageModel() = default;

    virtual ModelAvailability availability() const = 0;
    virtual std::unique_ptr<LanguageModelSession> makeSession(const std::string& instructions) = 0;

    // The one process-wide default model. The caller shares ownership, so a
    // replacement never pulls a model from under a running request.
    static std::shared_ptr<SystemLanguageModel> defaultModel();

    // Replaces the default model for the rest of the process, or until called
    // again; nullptr restores the system's own. For tests only.
    static void setDefaultForTesting(std::shared_ptr<SystemLanguageModel> model);
};

} // namespace quorvane
