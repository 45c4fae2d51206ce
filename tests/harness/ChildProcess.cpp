#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace quorvane::test {

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    const std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const auto end = directories.find(':', start);
        const auto length = end == std::string::npos ? std::string::npos : end - start;
        const auto directory = directories.substr(start, length);
        if (!directory.empty() && access((directory + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

namespace {

void silence() {
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull < 0) {
        return;
    }
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    close(devNull);
}

} // namespace

pid_t spawn(const std::vector<std::string>& arguments, const SpawnOptions& options) {
    if (arguments.empty()) {
        return -1;
    }
    // Everything the child needs is built before the fork: only async-signal-safe calls after it.
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> assignments;
    for (const auto& [name, value] : options.environment) {
        assignments.push_back(name + "=" + value);
    }
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    if (options.quiet) {
        silence();
    }
    for (auto& assignment : assignments) {
        putenv(assignment.data());
    }
    execvp(argv[0], argv.data());
    _exit(127);
}

int run(const std::vector<std::string>& arguments, const SpawnOptions& options) {
    const pid_t pid = spawn(arguments, options);
    if (pid < 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int waitForExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace quorvane::test
