// The provider that runs a request on the system's on-device language model:
// no key, no network. It keeps no session between calls.
#pragma once

#include "DescribedProvider.h"

#include <string>
#include <vector>

namespace quorvane {

class AppleFoundationProvider final : public DescribedProvider {
public:
    AppleFoundationProvider();

    // True exactly when the default system model reports itself available.
    bool isAvailable() override;

    // One generation on the default system model; the model argument is ignored.
    std::string enhance(const std::string& system, const std::string& user,
                        const std::string& model, std::stop_token stop) override;

    // Always the one entry "on-device".
    std::vector<std::string> fetchModels(std::stop_token stop) override;
};

} // namespace quorvane
