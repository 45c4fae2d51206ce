#pragma once

#include "UpdateCheckResult.h"

namespace quorvane {

// What shows the outcome of an update check to the user; the shell provides it.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;

    // Called on the main thread, once per check.
    virtual void showUpdateCheckResult(const UpdateCheckResult& result) = 0;
};

} // namespace quorvane
