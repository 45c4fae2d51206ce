#include "ReportWriter.h"

#include <unistd.h>

#include <cerrno>

namespace quorvane {

void ReportWriter::write(std::string_view text) {
    // One call normally writes everything; only an interrupted or partial
    // write (a full pipe) needs the loop.
    while (!text.empty()) {
        const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace quorvane
