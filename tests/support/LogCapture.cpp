#include "LogCapture.h"

#include <spdlog/sinks/base_sink.h>
#include <spdlog/sinks/null_sink.h>

#include <mutex>

namespace quorvane::test {

namespace {

LogChannel::Level channelLevel(spdlog::level::level_enum level) {
    switch (level) {
    case spdlog::level::trace:
    case spdlog::level::debug:
        return LogChannel::Level::debug;
    case spdlog::level::err:
    case spdlog::level::critical:
        return LogChannel::Level::error;
    default:
        return LogChannel::Level::standard;
    }
}

const char* levelName(LogChannel::Level level) {
    switch (level) {
    case LogChannel::Level::debug:
        return "debug";
    case LogChannel::Level::error:
        return "error";
    case LogChannel::Level::standard:
        break;
    }
    return "default";
}

} // namespace

class LogCapture::Sink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    std::vector<Record> records() {
        std::lock_guard lock(mutex_);
        return records_;
    }

    void clear() {
        std::lock_guard lock(mutex_);
        records_.clear();
    }

protected:
    // base_sink holds mutex_ while it calls this.
    void sink_it_(const spdlog::details::log_msg& message) override {
        records_.push_back({std::string(message.logger_name.data(), message.logger_name.size()),
                            channelLevel(message.level),
                            std::string(message.payload.data(), message.payload.size())});
    }

    void flush_() override {}

private:
    std::vector<Record> records_;
};

void PrintTo(const LogCapture::Record& record, std::ostream* out) {
    *out << "{" << record.category << ", " << levelName(record.level) << ", \"" << record.message
         << "\"}";
}

LogCapture::LogCapture()
    : sink_(std::make_shared<Sink>()) {
    Log::redirect(sink_);
}

LogCapture::~LogCapture() {
    Log::redirect(std::make_shared<spdlog::sinks::null_sink_mt>());
}

std::vector<LogCapture::Record> LogCapture::records() const {
    return sink_->records();
}

std::vector<std::string> LogCapture::messages(std::string_view category) const {
    std::vector<std::string> result;
    for (auto& record : sink_->records()) {
        if (record.category == category) {
            result.push_back(std::move(record.message));
        }
    }
    return result;
}

void LogCapture::clear() {
    sink_->clear();
}

} // namespace quorvane::test
