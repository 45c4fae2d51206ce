#include "UpdaterController.h"

#include "platform/appinfo/ApplicationInfo.h"
#include "platform/http/HttpSession.h"

namespace quorvane {

UpdaterController::UpdaterController(bool startingUpdater, UpdateUserDriver& userDriver,
                                     MainQueue& mainQueue)
    : UpdaterController(startingUpdater,
                        UpdateCheck::forApplication(ApplicationInfo(), HttpSession::shared()),
                        userDriver, mainQueue) {}

UpdaterController::UpdaterController(bool startingUpdater, UpdateCheck check,
                                     UpdateUserDriver& userDriver, MainQueue& mainQueue)
    : updater_(std::move(check), userDriver, mainQueue) {
    if (startingUpdater) {
        startUpdater();
    }
}

} // namespace quorvane
