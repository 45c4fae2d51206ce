#include "WaitUntil.h"

#include <thread>

namespace quorvane::test {

void pauseBriefly() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

testing::AssertionResult waitUntil(const std::function<bool()>& done,
                                   std::chrono::milliseconds patience,
                                   const std::function<void()>& turn) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        turn();
        if (done()) {
            return testing::AssertionSuccess();
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return testing::AssertionFailure()
                   << "the condition did not hold within " << patience.count() << " ms";
        }
    }
}

} // namespace quorvane::test
