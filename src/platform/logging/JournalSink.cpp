#include "JournalSink.h"

#include <syslog.h>
#include <systemd/sd-journal.h>

#include <filesystem>
#include <string_view>

namespace quorvane {

namespace {

int priority(spdlog::level::level_enum level) {
    switch (level) {
    case spdlog::level::trace:
    case spdlog::level::debug:
        return LOG_DEBUG;
    case spdlog::level::info:
        return LOG_NOTICE;
    case spdlog::level::warn:
        return LOG_WARNING;
    case spdlog::level::err:
        return LOG_ERR;
    case spdlog::level::critical:
        return LOG_CRIT;
    default:
        return LOG_INFO;
    }
}

} // namespace

JournalSink::JournalSink(std::string subsystem, std::string category)
    : subsystem_(std::move(subsystem))
    , category_(std::move(category)) {}

bool JournalSink::isReachable() {
    std::error_code ignored;
    return std::filesystem::exists("/run/systemd/journal/socket", ignored);
}

void JournalSink::sink_it_(const spdlog::details::log_msg& message) {
    const std::string_view text(message.payload.data(), message.payload.size());
    sd_journal_send("MESSAGE=%.*s", static_cast<int>(text.size()), text.data(), "PRIORITY=%i",
                    priority(message.level), "SYSLOG_IDENTIFIER=quorvane", "QUORVANE_SUBSYSTEM=%s",
                    subsystem_.c_str(), "QUORVANE_CATEGORY=%s", category_.c_str(), nullptr);
}

} // namespace quorvane
