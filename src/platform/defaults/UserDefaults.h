// A typed key-value store kept as one JSON file per domain, readable and
// editable by a person: Booleans are JSON true/false, integers JSON integers,
// doubles JSON numbers, strings JSON strings and data {"$data": "<base64>"}.
//
// Every change is written at once, atomically, with mode 0600, as a
// read-modify-write of the keys this process changed: under an advisory lock
// on a lock file beside the settings file, the file is read again when it
// changed since this process last saw it, so keys that another process or a
// person wrote in the meantime stay. Getters, too, read the file again once it
// changed. Safe to use from any thread.
//
// The file is opened without blocking and only a regular file of at most
// 16 MiB is read. Contents that do not parse, or a file too large, are set
// aside under a new name and the domain starts empty; a file that is there
// but cannot be read is left in place and nothing is saved for the rest of
// the run, so the settings in it come back once it can be read again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace quorvane {

class UserDefaults {
public:
    // Far beyond any settings we write; a larger file is not ours and is not read.
    static constexpr std::size_t maximumFileSize = 16 * 1024 * 1024;

    // Why a change did not reach the file, besides the system's own errors.
    enum class Error {
        // The file could not be read, so it is not replaced this run.
        readOnly = 1,
        // The file would be larger than maximumFileSize.
        tooLarge,
        // Something other than a regular file lies at the path.
        notRegularFile,
    };

    // What a person may need to know about a domain's file.
    struct Notice {
        enum class Kind {
            // Contents that do not parse, or a file too large, moved to `setAsideAs`.
            setAside,
            // The file cannot be read (`error`); it stays as it is and nothing is saved this run.
            unreadable,
            // A change did not reach the file (`error`); it stays in memory and goes with the
            // next save.
            saveFailed,
        };

        Kind kind;
        std::filesystem::path file;
        std::filesystem::path setAsideAs;
        std::error_code error;
    };
    using Reporter = std::function<void(const Notice&)>;

    // Where every domain of the process tells its notices; none by default. The
    // reporter is called with the domain busy, so it must not use any defaults.
    static void setReporter(Reporter reporter);

    // One domain kept in this file; an empty path keeps it in memory only.
    explicit UserDefaults(std::filesystem::path file);
    ~UserDefaults();

    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // $XDG_CONFIG_HOME/Quorvane/defaults.json, opened on first use; in memory
    // only when there is no home directory at all.
    static UserDefaults& standard();
    // $XDG_CONFIG_HOME/Quorvane/suites/NAME.json (in memory without a home);
    // nothing for a name that is empty or holds a path separator.
    static std::unique_ptr<UserDefaults> suite(std::string_view name);

    // Each getter gives a value only when the key holds one of its type;
    // doubleValue also accepts an integer.
    std::optional<bool> boolValue(std::string_view key) const;
    std::optional<std::int64_t> integerValue(std::string_view key) const;
    std::optional<double> doubleValue(std::string_view key) const;
    std::optional<std::string> stringValue(std::string_view key) const;
    // Raw bytes.
    std::optional<std::string> dataValue(std::string_view key) const;
    bool contains(std::string_view key) const;

    // Each change takes effect in memory at once and returns why saving it
    // failed, if it did; the failure is also told to the reporter.
    std::error_code setBool(std::string_view key, bool value);
    std::error_code setInteger(std::string_view key, std::int64_t value);
    std::error_code setDouble(std::string_view key, double value);
    std::error_code setString(std::string_view key, std::string_view value);
    std::error_code setData(std::string_view key, std::string_view bytes);
    std::error_code remove(std::string_view key);
    // Stores whatever value the first key holds, of any type, under the second.
    std::error_code copyValue(std::string_view from, std::string_view to);

    // Forgets every key of the domain and deletes its file; a file that could
    // not be read stays.
    void removePersistentDomain();

    // True when the file could not be read, so changes are kept in memory only.
    bool isReadOnly() const;

    // Empty for a domain kept in memory.
    const std::filesystem::path& file() const;

private:
    struct Storage;
    std::unique_ptr<Storage> storage_;
};

std::error_code make_error_code(UserDefaults::Error error);

} // namespace quorvane

template <>
struct std::is_error_code_enum<quorvane::UserDefaults::Error> : std::true_type {};
