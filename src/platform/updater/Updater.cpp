#include "Updater.h"

#include "platform/task/CancellationError.h"

namespace quorvane {

Updater::Updater(UpdateCheck check, UpdateUserDriver& userDriver, MainQueue& mainQueue)
    : check_(std::move(check))
    , mainQueue_(mainQueue)
    , delivery_(std::make_shared<Delivery>(Delivery{userDriver})) {}

Updater::~Updater() {
    worker_.request_stop();
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool Updater::sessionInProgress() const {
    return delivery_->inProgress;
}

void Updater::checkForUpdates() {
    if (!canCheckForUpdates()) {
        return;
    }
    delivery_->inProgress = true;
    // The previous worker has posted its outcome by now; joining only waits
    // for it to return.
    if (worker_.joinable()) {
        worker_.join();
    }
    std::weak_ptr<Delivery> delivery = delivery_;
    worker_ = std::jthread([this, delivery](std::stop_token stop) {
        UpdateCheckResult result;
        try {
            result = check_.run(stop);
        } catch (const CancellationError&) {
            return;
        }
        mainQueue_.post([delivery, result = std::move(result)] {
            if (const auto target = delivery.lock()) {
                target->inProgress = false;
                target->userDriver.showUpdateCheckResult(result);
            }
        });
    });
}

} // namespace quorvane
