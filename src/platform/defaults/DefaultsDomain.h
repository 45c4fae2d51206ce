// The values of one settings file and the way they reach it, shared by every
// UserDefaults object of the process opened on that file. Internal to
// UserDefaults.
#pragma once

#include "UserDefaults.h"
#include "platform/files/PrivateFile.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace quorvane {

class DefaultsDomain {
public:
    using Json = nlohmann::json;

    // Reads the file; an empty path keeps the domain in memory.
    explicit DefaultsDomain(std::filesystem::path file);

    DefaultsDomain(const DefaultsDomain&) = delete;
    DefaultsDomain& operator=(const DefaultsDomain&) = delete;

    static void setReporter(UserDefaults::Reporter reporter);

    // Calls visit with the value under the key (null when absent), after
    // taking in what changed in the file, and gives what it returns.
    template <typename Visit>
    auto visit(std::string_view key, Visit visit) {
        std::lock_guard lock(mutex_);
        refresh();
        return visit(lookUp(std::string(key)));
    }

    std::error_code set(std::string_view key, Json value);
    std::error_code erase(std::string_view key);
    std::error_code copy(std::string_view from, std::string_view to);
    void removeFile();

    bool isReadOnly() const;

private:
    // What the file held, as far as this domain is concerned.
    struct Reading {
        enum class Kind { parsed, absent, unparsable, unreadable };
        Kind kind = Kind::absent;
        Json values;
        std::optional<PrivateFile::Stamp> stamp;
        std::error_code error;
    };

    static Reading read(const std::filesystem::path& file);
    static void tell(const UserDefaults::Notice& notice);

    const Json* lookUp(const std::string& key) const;
    // Each of these expects the mutex to be held.
    void refresh();
    void adopt(const Reading& reading);
    std::error_code save();
    std::error_code setAside();
    void becomeReadOnly(std::error_code reason);
    std::error_code failed(std::error_code reason) const;

    const std::filesystem::path file_;
    const std::filesystem::path lockFile_;
    mutable std::mutex mutex_;
    // The file's values as this process last read or wrote them.
    Json stored_ = Json::object();
    // Changes not yet in the file; nothing marks a removed key.
    std::map<std::string, std::optional<Json>> pending_;
    // The file when it was last read or written; nothing while it is absent.
    std::optional<PrivateFile::Stamp> seen_;
    // The file changed to contents that do not parse; the next save sets them aside.
    bool unparsed_ = false;
    bool readOnly_ = false;
};

} // namespace quorvane
