// The application's updater: one started controller for as long as the
// service lives. Checking for updates is controller().updater().checkForUpdates().
#pragma once

#include "UpdaterController.h"

namespace quorvane {

class UpdaterService {
public:
    UpdaterService(UpdateUserDriver& userDriver, MainQueue& mainQueue)
        : controller_(true, userDriver, mainQueue) {}

    UpdaterController& controller() { return controller_; }

private:
    UpdaterController controller_;
};

} // namespace quorvane
