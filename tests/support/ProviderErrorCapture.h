// Runs a call that should fail with a ProviderError and hands the error back,
// so a test can compare it whole (case, payload, message, code).
#pragma once

#include "engine/ProviderError.h"

#include <gtest/gtest.h>

#include <optional>

namespace quorvane::test {

template <typename Call>
std::optional<ProviderError> captureProviderError(Call&& call) {
    try {
        call();
    } catch (const ProviderError& error) {
        return error;
    }
    ADD_FAILURE() << "expected a ProviderError";
    return std::nullopt;
}

} // namespace quorvane::test
