// Report texts of the diagnostic modes go to standard error as they are, one
// write each, so that a script reading the stream never sees a line split by
// another writer's output.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

class ReportWriter {
public:
    static void write(std::string_view text);

    // "true" or "false", as every report prints a Boolean.
    static std::string boolean(bool value) { return value ? "true" : "false"; }
};

} // namespace quorvane
