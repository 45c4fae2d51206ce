#include "AppleFoundationProvider.h"

#include "Log.h"
#include "ProviderError.h"
#include "Text.h"
#include "platform/ondevice/GenerationError.h"
#include "platform/ondevice/SystemLanguageModel.h"
#include "platform/task/CancellationError.h"

namespace quorvane {

namespace {

ProviderError unavailableError(ModelAvailability::UnavailableReason reason) {
    switch (reason) {
    case ModelAvailability::UnavailableReason::deviceNotEligible:
        return ProviderError::deviceNotEligible();
    case ModelAvailability::UnavailableReason::appleIntelligenceNotEnabled:
        return ProviderError::appleIntelligenceNotEnabled();
    case ModelAvailability::UnavailableReason::modelNotReady:
        return ProviderError::modelNotReady();
    case ModelAvailability::UnavailableReason::other:
        break;
    }
    return ProviderError::providerUnavailable("On-device model unavailable.");
}

long characters(const std::string& text) {
    return static_cast<long>(Text::characterCount(text));
}

void throwIfStopped(const std::stop_token& stop) {
    if (stop.stop_requested()) {
        throw CancellationError();
    }
}

// Asks the model and turns its failures into provider errors; a cancellation
// passes through untouched so that it is never shown as a failure.
std::string respond(LanguageModelSession& session, const std::string& prompt,
                    const std::stop_token& stop) {
    try {
        return session.respond(prompt, GenerationOptions{}, stop);
    } catch (const CancellationError&) {
        throw;
    } catch (const GenerationError& error) {
        Log::provider().error("FM GenerationError: %s", error.localizedDescription());
        if (error.kind() == GenerationError::Case::exceededContextWindowSize) {
            throw ProviderError::contextLimitExceeded();
        }
        throw ProviderError::sessionFailure(error.localizedDescription());
    } catch (const std::exception& error) {
        Log::provider().error("FM unexpected error: %s", error.what());
        throw ProviderError::sessionFailure(error.what());
    } catch (...) {
        Log::provider().error("FM unexpected error: %s", "unknown error");
        throw ProviderError::sessionFailure("unknown error");
    }
}

} // namespace

AppleFoundationProvider::AppleFoundationProvider()
    : DescribedProvider(ProviderID::appleFoundation, "Apple Foundation Models", {"on-device"},
                        false) {}

bool AppleFoundationProvider::isAvailable() {
    return SystemLanguageModel::defaultModel()->availability().isAvailable();
}

std::string AppleFoundationProvider::enhance(const std::string& system, const std::string& user,
                                             const std::string& /*model*/, std::stop_token stop) {
    throwIfStopped(stop);
    const auto model = SystemLanguageModel::defaultModel();
    if (const auto availability = model->availability(); !availability.isAvailable()) {
        throw unavailableError(availability.reason());
    }
    Log::provider().debug("FM: availability OK, creating session");
    const auto session = model->makeSession(system);
    Log::provider().debug("FM: calling respond(to:) [%ld chars]", characters(user));
    const std::string content = respond(*session, user, stop);
    throwIfStopped(stop);
    Log::provider().debug("FM: respond returned [%ld chars]", characters(content));
    std::string reply = Text::trimmed(content);
    if (reply.empty()) {
        throw ProviderError::emptyResponse();
    }
    return reply;
}

std::vector<std::string> AppleFoundationProvider::fetchModels(std::stop_token /*stop*/) {
    return availableModels();
}

} // namespace quorvane
