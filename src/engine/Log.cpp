#include "Log.h"

#include "platform/logging/JournalSink.h"

#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include <cstdlib>
#include <filesystem>

namespace quorvane {

namespace {

constexpr std::size_t logFileBytes = 1024 * 1024;
constexpr std::size_t logFileCount = 3;

std::filesystem::path stateDirectory() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        return std::filesystem::path(state) / "Quorvane";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local/state/Quorvane";
}

// The file every channel shares when there is no journal; created on first use.
std::shared_ptr<spdlog::sinks::sink> sharedFileSink() {
    static const std::shared_ptr<spdlog::sinks::sink> sink = [] {
        const auto directory = stateDirectory();
        std::error_code ignored;
        std::filesystem::create_directories(directory, ignored);
        std::shared_ptr<spdlog::sinks::sink> file;
        try {
            file = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
                (directory / "quorvane.log").string(), logFileBytes, logFileCount);
        } catch (const spdlog::spdlog_ex&) {
            return std::shared_ptr<spdlog::sinks::sink>();
        }
        file->set_pattern("%Y-%m-%d %H:%M:%S.%e %l %n: %v");
        return file;
    }();
    return sink;
}

std::shared_ptr<spdlog::sinks::sink> defaultSink(const std::string& category) {
    if (JournalSink::isReachable()) {
        return std::make_shared<JournalSink>(std::string(Log::subsystem), category);
    }
    return sharedFileSink();
}

spdlog::level::level_enum spdlogLevel(LogChannel::Level level) {
    switch (level) {
    case LogChannel::Level::debug:
        return spdlog::level::debug;
    case LogChannel::Level::error:
        return spdlog::level::err;
    case LogChannel::Level::standard:
        break;
    }
    return spdlog::level::info;
}

} // namespace

LogChannel::LogChannel(std::string category)
    : category_(std::move(category))
    , logger_(std::make_shared<spdlog::logger>(category_)) {
    logger_->set_level(spdlog::level::debug);
    // The file sink buffers; without a flush per record the last lines before
    // a crash, the ones that explain it, would be lost. Records are few.
    logger_->flush_on(spdlog::level::debug);
    // A logging failure must never reach the user or end the program.
    logger_->set_error_handler([](const std::string&) {});
    setSink(defaultSink(category_));
}

void LogChannel::write(Level level, std::string_view message) {
    logger_->log(spdlogLevel(level), "{}", message);
}

void LogChannel::setSink(std::shared_ptr<spdlog::sinks::sink> sink) {
    auto& sinks = logger_->sinks();
    sinks.clear();
    if (sink) {
        sinks.push_back(std::move(sink));
    }
}

LogChannel& Log::app() {
    static LogChannel channel("app");
    return channel;
}

LogChannel& Log::enhance() {
    static LogChannel channel("enhance");
    return channel;
}

LogChannel& Log::provider() {
    static LogChannel channel("provider");
    return channel;
}

void Log::redirect(std::shared_ptr<spdlog::sinks::sink> sink) {
    app().setSink(sink);
    enhance().setSink(sink);
    provider().setSink(sink);
}

} // namespace quorvane
