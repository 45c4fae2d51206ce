#include "Log.h"

#include "platform/defaults/UserDefaults.h"
#include "platform/files/PrivateFile.h"
#include "platform/files/UserDirectories.h"
#include "platform/logging/JournalSink.h"
#include "platform/logging/RotatingFileSink.h"

#include <spdlog/spdlog.h>
#include <sys/stat.h>

#include <filesystem>

namespace quorvane {

namespace {

constexpr std::size_t logFileBytes = 1024 * 1024;
constexpr std::size_t logFileCount = 3;

// The file every channel shares when there is no journal; created on first use.
// Without a home there is no file log: records are dropped rather than kept
// in a folder that others may write to.
std::shared_ptr<spdlog::sinks::sink> sharedFileSink() {
    static const std::shared_ptr<spdlog::sinks::sink> sink = [] {
        const auto state = UserDirectories::stateHome();
        if (!state) {
            return std::shared_ptr<spdlog::sinks::sink>();
        }
        auto file = Log::openFileSink(*state / "Quorvane" / "quorvane.log");
        if (file) {
            file->set_pattern("%Y-%m-%d %H:%M:%S.%e %l %n: %v");
        }
        return file;
    }();
    return sink;
}

void logDefaultsNotice(const UserDefaults::Notice& notice) {
    switch (notice.kind) {
    case UserDefaults::Notice::Kind::setAside:
        Log::app().error("UserDefaults: set aside the unreadable settings file as %s",
                         notice.setAsideAs.string());
        return;
    case UserDefaults::Notice::Kind::unreadable:
        Log::app().error("UserDefaults: cannot read %s (%s); it is left as it is and no setting is "
                         "saved this run",
                         notice.file.string(), notice.error.message());
        return;
    case UserDefaults::Notice::Kind::saveFailed:
        Log::app().error("UserDefaults save failed: %s (%s)", notice.file.string(),
                         notice.error.message());
        return;
    }
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

std::shared_ptr<spdlog::sinks::sink> Log::openFileSink(const std::filesystem::path& file) {
    const auto directory = file.parent_path();
    PrivateFile::createPrivateDirectories(directory);
    // An earlier version made the folder readable by everyone.
    ::chmod(directory.c_str(), 0700);
    return RotatingFileSink::open(file, logFileBytes, logFileCount);
}

void Log::listenToUserDefaults() {
    UserDefaults::setReporter(logDefaultsNotice);
}

void Log::redirect(std::shared_ptr<spdlog::sinks::sink> sink) {
    app().setSink(sink);
    enhance().setSink(sink);
    provider().setSink(sink);
}

} // namespace quorvane
