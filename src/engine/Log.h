// The three log channels of the application. Messages are fixed printf-style
// texts ("enhance() start: provider=%s preset=%s") at the default, debug or
// error level. Records go to the systemd journal when it is reachable and to
// a size-capped private file under $XDG_STATE_HOME/Quorvane/ otherwise (none
// without a home directory); never to standard output or standard error,
// which belong to the diagnostic modes.
#pragma once

#include <fmt/printf.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace spdlog {
class logger;
namespace sinks {
class sink;
}
} // namespace spdlog

namespace quorvane {

class LogChannel {
public:
    enum class Level { debug, standard, error };

    explicit LogChannel(std::string category);

    const std::string& category() const { return category_; }

    // The default level.
    template <typename... Args>
    void log(const char* format, const Args&... args) {
        write(Level::standard, fmt::sprintf(format, args...));
    }

    template <typename... Args>
    void debug(const char* format, const Args&... args) {
        write(Level::debug, fmt::sprintf(format, args...));
    }

    template <typename... Args>
    void error(const char* format, const Args&... args) {
        write(Level::error, fmt::sprintf(format, args...));
    }

    void write(Level level, std::string_view message);

    // Replaces where this channel's records go.
    void setSink(std::shared_ptr<spdlog::sinks::sink> sink);

private:
    std::string category_;
    std::shared_ptr<spdlog::logger> logger_;
};

class Log {
public:
    static constexpr std::string_view subsystem = "com.velmoro.quorvane";

    static LogChannel& app();
    static LogChannel& enhance();
    static LogChannel& provider();

    // Sends the records of all three channels to one sink (tests read them from memory).
    static void redirect(std::shared_ptr<spdlog::sinks::sink> sink);

    // The size-capped file sink at this path, its folder created 0700 and the
    // file 0600; nothing when the path is not a regular file (a FIFO, a
    // device), which is refused without waiting.
    static std::shared_ptr<spdlog::sinks::sink> openFileSink(const std::filesystem::path& file);

    // Logs on the app channel what the settings files report: one set aside,
    // one that cannot be read, a save that failed. Called once at start-up.
    static void listenToUserDefaults();
};

} // namespace quorvane
