// A user driver that keeps every outcome it is shown and the thread it was shown on.
#pragma once

#include "platform/updater/UpdateUserDriver.h"

#include <thread>
#include <vector>

namespace quorvane::test {

class RecordingDriver : public UpdateUserDriver {
public:
    void showUpdateCheckResult(const UpdateCheckResult& result) override {
        results.push_back(result);
        threads.push_back(std::this_thread::get_id());
    }
    std::vector<UpdateCheckResult> results;
    std::vector<std::thread::id> threads;
};

} // namespace quorvane::test
