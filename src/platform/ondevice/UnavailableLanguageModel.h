#pragma once

#include "SystemLanguageModel.h"

namespace quorvane {

// The system model of a machine that has none: always unavailable because the
// device is not eligible, and every response fails with unavailable assets.
class UnavailableLanguageModel final : public SystemLanguageModel {
public:
    ModelAvailability availability() const override;
    std::unique_ptr<LanguageModelSession> makeSession(const std::string& instructions) override;
};

} // namespace quorvane
