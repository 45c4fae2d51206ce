// Start-up work that a later step needs done and that can run beside the main thread until then:
// a thread of its own runs it from construction, and wait() returns once it has. The work must
// not touch what the main thread uses meanwhile, except through objects made for that.
#pragma once

#include <functional>
#include <thread>

namespace quorvane {

class StartUpWarmUp final {
public:
    // The font configuration that Qt's text reads: loaded by fontconfig, which nothing in
    // constructing the application object touches. On the main thread it is the largest single
    // cost before the panel's first frame.
    static void loadFontConfiguration();
    // The connection to the session bus, which the event loop's first turn opens for the
    // accessibility bridge and which the tray and the portals use: whoever asks first waits for
    // the whole connection, and when there is no bus, for the attempt to start one. Qt's
    // connections are safe to ask for from any thread, and a second caller waits for the first.
    static void connectSessionBus();

    explicit StartUpWarmUp(std::function<void()> work);
    // Waits, as wait() does.
    ~StartUpWarmUp();

    StartUpWarmUp(const StartUpWarmUp&) = delete;
    StartUpWarmUp& operator=(const StartUpWarmUp&) = delete;

    // Returns once the work is done; safe to call more than once.
    void wait();

private:
    std::thread worker_;
};

} // namespace quorvane
