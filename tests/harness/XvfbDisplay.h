// A private X server for tests and benchmarks that need a real display.
#pragma once

#include <sys/types.h>

#include <string>

namespace quorvane::test {

// Xvfb on the first free display number from `firstNumber` on; stopped again with this object.
class XvfbDisplay {
public:
    explicit XvfbDisplay(int firstNumber = 70)
        : firstNumber_(firstNumber) {}
    ~XvfbDisplay();

    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // False when Xvfb is missing or no display could be started.
    bool start();

    // For tests that press keys through xdotool: starts the display and points DISPLAY at it.
    // Empty when it runs, otherwise why the tests cannot, for them to report as their skip.
    std::string startWithXdotool();

    // ":<number>"
    const std::string& name() const { return name_; }

private:
    bool tryDisplay(int number);

    int firstNumber_;
    pid_t pid_ = -1;
    std::string name_;
};

} // namespace quorvane::test
