// Waiting in a test for something that another thread, a child process or
// the event loop brings about. A wait looks at its condition after every
// turn; what a turn does says what the wait drives meanwhile (a short sleep
// when nothing needs driving, the Qt event loop, a manual main queue). The
// patience only turns a broken build into a failure instead of a hang, so it
// is generous; a failed wait says how long it waited, and the caller adds
// what it waited for: ASSERT_TRUE(waitUntil(...)) << "the reply arrived".
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace quorvane::test {

inline constexpr std::chrono::milliseconds defaultPatience = std::chrono::seconds(10);

// One turn that drives nothing: a sleep of a millisecond.
void pauseBriefly();

// Takes a turn, then looks at the condition; again and again until it holds
// or the patience has passed.
testing::AssertionResult waitUntil(const std::function<bool()>& done,
                                   std::chrono::milliseconds patience = defaultPatience,
                                   const std::function<void()>& turn = pauseBriefly);

} // namespace quorvane::test
