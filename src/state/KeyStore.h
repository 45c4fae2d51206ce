// API keys, one per provider, in one AES-GCM sealed file ("keys.enc") under
// the user's data directory, so that reading or saving a key never prompts.
// Nothing is cached: every call reads the file afresh, and a copy of a store
// is as good as the original on any thread.
#pragma once

#include "DeviceKey.h"
#include "engine/ProviderID.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class KeyStore {
public:
    static constexpr std::string_view fileName = "keys.enc";

    // Creates the directory (and missing parents, mode 0700) when absent,
    // ignoring failures. Without a directory the default location is used.
    explicit KeyStore(std::optional<std::filesystem::path> directory = std::nullopt,
                      DeviceKey deviceKey = DeviceKey());

    // $XDG_DATA_HOME/Quorvane, else ~/.local/share/Quorvane; nothing when
    // neither the environment nor the user database names a home.
    static std::optional<std::filesystem::path> defaultDirectory();

    // Empty when there is no directory to keep the file in: such a store
    // reads as no keys and fails every save.
    const std::filesystem::path& fileURL() const { return fileURL_; }

    // The stored key, trimmed; nothing when absent or blank.
    std::optional<std::string> key(ProviderID id) const;

    // Stores the trimmed key, or removes the entry when it trims to nothing,
    // and rewrites the file either way. False when the file was not written.
    bool setKey(std::string_view key, ProviderID id) const;

private:
    using Dictionary = std::map<std::string, std::string>;

    // unreadable, when given, tells whether a file was there that could not be read or opened.
    Dictionary load(bool* unreadable = nullptr) const;
    bool keepUnreadableFile() const;
    bool save(const Dictionary& dictionary) const;
    std::optional<Dictionary> openBox(std::span<const std::uint8_t> box) const;
    std::optional<std::vector<std::uint8_t>> sealBox(const Dictionary& dictionary) const;

    std::filesystem::path fileURL_;
    DeviceKey deviceKey_;
};

} // namespace quorvane
