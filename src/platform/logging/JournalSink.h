// An spdlog sink that writes each record to the systemd journal, with the
// subsystem and category as fields of their own so `journalctl
// QUORVANE_CATEGORY=enhance` finds one channel.
#pragma once

#include <spdlog/sinks/base_sink.h>

#include <mutex>
#include <string>

namespace quorvane {

class JournalSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    JournalSink(std::string subsystem, std::string category);

    // True when the journal's socket exists, so records would reach it.
    static bool isReachable();

protected:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override {}

private:
    std::string subsystem_;
    std::string category_;
};

} // namespace quorvane
