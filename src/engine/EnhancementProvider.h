#pragma once

#include "ProviderError.h"
#include "ProviderID.h"

#include <stop_token>
#include <string>
#include <vector>

namespace quorvane {

// One model service behind one interface. The blocking calls run on a worker
// thread; they throw ProviderError on failure and CancellationError once the
// stop token is asked to stop.
class EnhancementProvider {
public:
    virtual ~EnhancementProvider() = default;

    virtual ProviderID id() const = 0;
    virtual const std::string& displayName() const = 0;
    virtual const std::vector<std::string>& availableModels() const = 0;
    virtual bool requiresAPIKey() const = 0;

    // Never fails; makes no network call for the built-in providers.
    virtual bool isAvailable() = 0;

    // What to tell the user when isAvailable() is false.
    virtual ProviderError whyUnavailable() const = 0;

    // The reply text, trimmed and never empty.
    virtual std::string enhance(const std::string& system, const std::string& user,
                                const std::string& model, std::stop_token stop) = 0;

    // The service's model identifiers, sorted ascending and never empty.
    virtual std::vector<std::string> fetchModels(std::stop_token stop) = 0;
};

} // namespace quorvane
