#include "GenerationError.h"

namespace quorvane {

namespace {

std::string defaultDescription(GenerationError::Case kind) {
    switch (kind) {
    case GenerationError::Case::exceededContextWindowSize:
        return "The prompt exceeds the model's context window.";
    case GenerationError::Case::assetsUnavailable:
        return "The model's assets are unavailable.";
    case GenerationError::Case::guardrailViolation:
        return "The request was blocked by the model's safety guardrails.";
    case GenerationError::Case::unsupportedLanguageOrLocale:
        return "The model does not support this language or locale.";
    case GenerationError::Case::decodingFailure:
        return "The model's response could not be decoded.";
    case GenerationError::Case::rateLimited:
        return "Too many requests were made to the model.";
    case GenerationError::Case::concurrentRequests:
        return "The session is already responding to another request.";
    case GenerationError::Case::refusal:
        return "The model refused to answer.";
    }
    return "The model failed to generate a response.";
}

} // namespace

GenerationError::GenerationError(Case kind)
    : GenerationError(kind, defaultDescription(kind)) {}

GenerationError::GenerationError(Case kind, std::string description)
    : kind_(kind)
    , description_(std::move(description)) {}

} // namespace quorvane
