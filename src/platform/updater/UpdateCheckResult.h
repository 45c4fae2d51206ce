#pragma once

#include "AppcastItem.h"

#include <optional>
#include <string>

namespace quorvane {

// The outcome of one update check, with the sentence to show for it.
struct UpdateCheckResult {
    enum class Kind { notConfigured, upToDate, updateAvailable, failed };

    Kind kind = Kind::failed;
    std::string message;
    // The release on offer, for updateAvailable.
    std::optional<AppcastItem> update;
};

} // namespace quorvane
