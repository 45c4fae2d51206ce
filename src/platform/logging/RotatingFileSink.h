// An spdlog sink that appends each record to a private log file (mode 0600)
// and keeps it small by rotation: NAME.log becomes NAME.1.log, NAME.1.log
// becomes NAME.2.log, and so on up to a count. Records are written with one
// write(2) each, unbuffered, so the last lines before a crash are on disk.
#pragma once

#include <spdlog/sinks/base_sink.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>

namespace quorvane {

class RotatingFileSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    // Nothing when the file cannot be opened or is not a regular file: a FIFO
    // or a device in its place is refused at once, never waited on, and a link
    // is not followed.
    static std::shared_ptr<RotatingFileSink> open(std::filesystem::path file,
                                                  std::size_t maximumSize, std::size_t keptFiles);

    RotatingFileSink(std::filesystem::path file, std::size_t maximumSize, std::size_t keptFiles,
                     int descriptor, std::size_t size);
    ~RotatingFileSink() override;

    RotatingFileSink(const RotatingFileSink&) = delete;
    RotatingFileSink& operator=(const RotatingFileSink&) = delete;

    // NAME.log for 0, NAME.INDEX.log otherwise.
    static std::filesystem::path rotatedName(const std::filesystem::path& file, std::size_t index);

protected:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override {}

private:
    void rotate();

    std::filesystem::path file_;
    std::size_t maximumSize_;
    std::size_t keptFiles_;
    int descriptor_;
    std::size_t size_;
};

} // namespace quorvane
