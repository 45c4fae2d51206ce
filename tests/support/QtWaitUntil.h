// The Qt flavour of waitUntil: every turn runs the Qt event loop, so posted
// work, timers and animations go on while the test waits.
#pragma once

#include "WaitUntil.h"

namespace quorvane::test {

// One turn of the event loop: what is pending, for up to a few milliseconds,
// then a millisecond's pause so a wait on another thread does not spin.
void processQtEvents();

testing::AssertionResult qtWaitUntil(const std::function<bool()>& done,
                                     std::chrono::milliseconds patience = defaultPatience);

} // namespace quorvane::test
