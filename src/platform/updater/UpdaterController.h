// Owns the updater of this build: its feed and versions come from the
// information dictionary, its requests go through the shared HTTP session.
#pragma once

#include "Updater.h"

namespace quorvane {

class UpdaterController {
public:
    // The main queue and the user driver must outlive the controller.
    UpdaterController(bool startingUpdater, UpdateUserDriver& userDriver, MainQueue& mainQueue);
    UpdaterController(bool startingUpdater, UpdateCheck check, UpdateUserDriver& userDriver,
                      MainQueue& mainQueue);

    Updater& updater() { return updater_; }
    void startUpdater() { updater_.start(); }

private:
    Updater updater_;
};

} // namespace quorvane
