// A typed key-value store kept as one JSON file per domain, readable and
// editable by a person: Booleans are JSON true/false, integers JSON integers,
// doubles JSON numbers, strings JSON strings and data {"$data": "<base64>"}.
// Every change is written at once, atomically, with mode 0600. Safe to use
// from any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

class UserDefaults {
public:
    // One domain kept in this file; it is read once, here.
    explicit UserDefaults(std::filesystem::path file);
    ~UserDefaults();

    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // $XDG_CONFIG_HOME/Quorvane/defaults.json, opened on first use.
    static UserDefaults& standard();
    // $XDG_CONFIG_HOME/Quorvane/suites/NAME.json; nothing for a name that is
    // empty or holds a path separator.
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

    void setBool(std::string_view key, bool value);
    void setInteger(std::string_view key, std::int64_t value);
    void setDouble(std::string_view key, double value);
    void setString(std::string_view key, std::string_view value);
    void setData(std::string_view key, std::string_view bytes);
    void remove(std::string_view key);

    // Forgets every key of the domain and deletes its file.
    void removePersistentDomain();

    const std::filesystem::path& file() const;

private:
    struct Storage;
    std::unique_ptr<Storage> storage_;
};

} // namespace quorvane
