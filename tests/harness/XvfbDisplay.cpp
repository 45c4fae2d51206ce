#include "XvfbDisplay.h"

#include "ChildProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace quorvane::test {

namespace {

constexpr int displaysTried = 100;

std::string socketPath(int number) {
    return "/tmp/.X11-unix/X" + std::to_string(number);
}

bool taken(int number) {
    return std::filesystem::exists(socketPath(number)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock");
}

bool accepts(const std::string& display) {
    auto* connection = xcb_connect(display.c_str(), nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
}

} // namespace

XvfbDisplay::~XvfbDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool XvfbDisplay::start() {
    if (!onPath("Xvfb")) {
        return false;
    }
    for (int number = firstNumber_; number < firstNumber_ + displaysTried; ++number) {
        if (taken(number)) {
            continue;
        }
        if (tryDisplay(number)) {
            name_ = ":" + std::to_string(number);
            return true;
        }
    }
    return false;
}

std::string XvfbDisplay::startWithXdotool() {
    if (!onPath("Xvfb") || !onPath("xdotool")) {
        return "Xvfb and xdotool are needed";
    }
    if (!start()) {
        return "no Xvfb display could be started";
    }
    setenv("DISPLAY", name_.c_str(), 1);
    return {};
}

bool XvfbDisplay::tryDisplay(int number) {
    const auto display = ":" + std::to_string(number);
    pid_ = spawn({"Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"},
                 {.quiet = true, .environment = {}});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1; // another server won the race for this number
            return false;
        }
        if (std::filesystem::exists(socketPath(number)) && accepts(display)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return false;
}

} // namespace quorvane::test
