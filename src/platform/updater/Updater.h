// Runs update checks off the main thread and hands each outcome to the user
// driver on the main thread. One check at a time: asking again while one runs
// does nothing, as does asking before the updater is started.
#pragma once

#include "UpdateCheck.h"
#include "UpdateUserDriver.h"
#include "platform/task/MainQueue.h"

#include <memory>
#include <thread>

namespace quorvane {

class Updater {
public:
    Updater(UpdateCheck check, UpdateUserDriver& userDriver, MainQueue& mainQueue);
    // Cancels a running check; its outcome is never shown.
    ~Updater();

    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;

    void start() { started_ = true; }
    bool isStarted() const { return started_; }
    bool sessionInProgress() const;
    bool canCheckForUpdates() const { return started_ && !sessionInProgress(); }

    // Main thread only.
    void checkForUpdates();

private:
    // Shared with the outcome posted to the main queue, which must find out
    // whether this updater still exists when it runs.
    struct Delivery {
        UpdateUserDriver& userDriver;
        bool inProgress = false;
    };

    const UpdateCheck check_;
    MainQueue& mainQueue_;
    std::shared_ptr<Delivery> delivery_;
    bool started_ = false;
    std::jthread worker_;
};

} // namespace quorvane
