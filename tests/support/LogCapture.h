#pragma once

#include "engine/Log.h"

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::test {

// Keeps the records of all three log channels in memory for as long as it
// lives, so a test can assert the exact lines a piece of code logs. On
// destruction the channels go back to a null sink. Only one may live at a time.
class LogCapture {
public:
    struct Record {
        std::string category;
        LogChannel::Level level;
        std::string message;

        bool operator==(const Record&) const = default;
        friend void PrintTo(const Record& record, std::ostream* out);
    };

    LogCapture();
    ~LogCapture();

    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Record> records() const;
    // The messages of one channel, in order.
    std::vector<std::string> messages(std::string_view category) const;
    void clear();

private:
    class Sink;
    std::shared_ptr<Sink> sink_;
};

} // namespace quorvane::test
