// A saved enhancement of the custom provider, for the tests of the settings form's history.
#pragma once

#include "state/HistoryItem.h"

#include <chrono>
#include <string>

namespace quorvane::test {

inline HistoryItem historyItem(const std::string& input) {
    return HistoryItem{.id = Uuid::random(),
                       .input = input,
                       .output = "better " + input,
                       .preset = Preset::general,
                       .provider = ProviderID::custom,
                       .timestamp = std::chrono::system_clock::now()};
}

} // namespace quorvane::test
