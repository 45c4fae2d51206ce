#include "UnavailableLanguageModel.h"

#include "GenerationError.h"

namespace quorvane {

namespace {

class UnavailableSession final : public LanguageModelSession {
public:
    std::string respond(const std::string&, const GenerationOptions&, std::stop_token) override {
        throw GenerationError(GenerationError::Case::assetsUnavailable,
                              "This device has no on-device language model.");
    }
};

} // namespace

ModelAvailability UnavailableLanguageModel::availability() const {
    return ModelAvailability::unavailable(ModelAvailability::UnavailableReason::deviceNotEligible);
}

std::unique_ptr<LanguageModelSession> UnavailableLanguageModel::makeSession(const std::string&) {
    return std::make_unique<UnavailableSession>();
}

} // namespace quorvane
