#include "KeyStore.h"

#include "engine/Log.h"
#include "engine/Text.h"
#include "platform/crypto/AesGcm.h"
#include "platform/files/FileLock.h"
#include "platform/files/PrivateFile.h"
#include "platform/files/UserDirectories.h"

#include <nlohmann/json.hpp>

#include <string_view>
#include <system_error>
#include <utility>

namespace quorvane {

namespace {

// Far beyond seven keys of any length a key field takes, so a file this large
// is not one we wrote; reading stops here instead of taking all memory.
constexpr std::size_t maximumFileSize = 1 << 20;

constexpr auto decryptFailed = "KeyStore: decrypt failed (corrupt, or written on another machine)";

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

KeyStore::KeyStore(std::optional<std::filesystem::path> directory, DeviceKey deviceKey)
    : deviceKey_(std::move(deviceKey)) {
    if (!directory) {
        directory = defaultDirectory();
    }
    if (!directory || directory->empty()) {
        return;
    }
    PrivateFile::createPrivateDirectories(*directory);
    fileURL_ = *directory / fileName;
}

std::optional<std::filesystem::path> KeyStore::defaultDirectory() {
    if (auto data = UserDirectories::dataHome()) {
        return *data / "Quorvane";
    }
    return std::nullopt;
}

std::optional<std::string> KeyStore::key(ProviderID id) const {
    const Dictionary dictionary = load();
    const auto entry = dictionary.find(std::string(rawValue(id)));
    if (entry == dictionary.end()) {
        return std::nullopt;
    }
    std::string key = Text::trimmed(entry->second);
    if (key.empty()) {
        return std::nullopt;
    }
    return key;
}

bool KeyStore::setKey(std::string_view key, ProviderID id) const {
    const std::string trimmed = Text::trimmed(key);
    bool unreadable = false;
    Dictionary dictionary = load(&unreadable);
    const std::string name(rawValue(id));
    if (trimmed.empty()) {
        dictionary.erase(name);
    } else {
        dictionary[name] = trimmed;
    }
    if (unreadable && !keepUnreadableFile()) {
        return false;
    }
    return save(dictionary);
}

KeyStore::Dictionary KeyStore::load(bool* unreadable) const {
    if (fileURL_.empty()) {
        return {};
    }
    // Without blocking: a FIFO or a device in the file's place is refused before anything is
    // read from it, and a file far too large is not read whole.
    const auto box = PrivateFile::read(fileURL_, maximumFileSize);
    using Outcome = PrivateFile::Contents::Outcome;
    if (box.outcome != Outcome::read) {
        if (box.outcome == Outcome::tooLarge) {
            Log::app().error(decryptFailed);
        }
        // A file we may not read is as good as absent here, but must not be
        // overwritten by the next save.
        if (unreadable != nullptr) {
            *unreadable = box.outcome != Outcome::absent;
        }
        return {};
    }
    auto dictionary = openBox(asBytes(box.bytes));
    if (!dictionary) {
        Log::app().error(decryptFailed);
        if (unreadable != nullptr) {
            *unreadable = true;
        }
        return {};
    }
    return std::move(*dictionary);
}

// A file we cannot open may still open later (a machine id that comes back,
// a restored backup, permissions put right), so the save that replaces it
// first moves it aside instead of destroying the keys in it. When it cannot
// be moved, nothing is saved.
bool KeyStore::keepUnreadableFile() const {
    std::error_code error;
    std::filesystem::path kept = fileURL_;
    kept += ".unreadable";
    for (int attempt = 2; std::filesystem::exists(kept, error) && !error; ++attempt) {
        kept = fileURL_;
        kept += ".unreadable-" + std::to_string(attempt);
    }
    if (!error) {
        std::filesystem::rename(fileURL_, kept, error);
    }
    if (error) {
        Log::app().error("KeyStore save failed: %s", error.message());
        return false;
    }
    Log::app().log("KeyStore: kept the unreadable key file as %s", kept.filename().string());
    return true;
}

bool KeyStore::save(const Dictionary& dictionary) const {
    const auto box = sealBox(dictionary);
    if (!box) {
        Log::app().error("KeyStore: encryption failed");
        return false;
    }
    // Saves take turns, so that a temporary found under the lock belongs to none under way: a
    // killed save left it, with a whole sealed copy of the old keys in it.
    const FileLock lock(fileURL_.parent_path() / ("." + fileURL_.filename().string() + ".lock"));
    if (!lock.held()) {
        Log::app().error("KeyStore save failed: %s", lock.error().message());
        return false;
    }
    PrivateFile::removeStaleTemporaries(fileURL_);
    if (const std::error_code error = PrivateFile::writeAtomically(fileURL_, asText(*box))) {
        Log::app().error("KeyStore save failed: %s", error.message());
        return false;
    }
    return true;
}

std::optional<KeyStore::Dictionary> KeyStore::openBox(std::span<const std::uint8_t> box) const {
    if (box.size() < AesGcm::minimumBoxSize || box.size() > maximumFileSize) {
        return std::nullopt;
    }
    const auto key = deviceKey_.derive();
    if (!key) {
        return std::nullopt;
    }
    const auto plaintext = AesGcm::open(key->bytes(), box);
    if (!plaintext) {
        return std::nullopt;
    }
    const auto json = nlohmann::json::parse(plaintext->data(),
                                            plaintext->data() + plaintext->size(), nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    // All or nothing: one member that is not text rejects the whole file.
    Dictionary dictionary;
    for (const auto& [name, value] : json.items()) {
        if (!value.is_string()) {
            return std::nullopt;
        }
        dictionary.emplace(name, value.get<std::string>());
    }
    return dictionary;
}

std::optional<std::vector<std::uint8_t>> KeyStore::sealBox(const Dictionary& dictionary) const {
    std::string text;
    try {
        text = nlohmann::json(dictionary).dump();
    } catch (const nlohmann::json::exception&) {
        // Keys that are not valid UTF-8 cannot be encoded.
        return std::nullopt;
    }
    // A box the next load would refuse as too large is not written at all.
    if (text.size() + AesGcm::minimumBoxSize > maximumFileSize) {
        SecretBytes::cleanse(text.data(), text.size());
        return std::nullopt;
    }
    const SecretBytes plaintext(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    SecretBytes::cleanse(text.data(), text.size());
    const auto key = deviceKey_.derive();
    if (!key) {
        return std::nullopt;
    }
    return AesGcm::seal(key->bytes(), plaintext.bytes());
}

} // namespace quorvane
