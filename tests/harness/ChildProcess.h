// Starting other programs from tests and benchmarks: the X server, xdotool, the application.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace quorvane::test {

// Whether a program of this name is on PATH.
bool onPath(const std::string& program);

struct SpawnOptions {
    // Standard output and error go to /dev/null.
    bool quiet = false;
    // Set in the child only, on top of this process's environment.
    std::map<std::string, std::string> environment;
};

// Starts a program found on PATH (or at the path given) and returns its pid, or -1.
pid_t spawn(const std::vector<std::string>& arguments, const SpawnOptions& options = {});

// Runs a program to its end; its exit status, or -1 when it did not exit normally.
int run(const std::vector<std::string>& arguments, const SpawnOptions& options = {});

// Waits for a child to end; its exit status, or -1 when it was killed or is still running
// when the time-out passes (it is then killed).
int waitForExit(pid_t pid, std::chrono::milliseconds timeout);

} // namespace quorvane::test
