#include "KeyStore.h"

#include "engine/Log.h"
#include "engine/Text.h"
#include "platform/crypto/AesGcm.h"
#include "platform/files/FileLock.h"
#include "platform/files/PrivateFile.h"
#include "platform/files/UserDirectories.h"

#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace quorvane {

namespace {

constexpr mode_t fileMode = 0600;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Far beyond seven keys of any length a key field takes, so a file this large
// is not one we wrote; reading stops here instead of taking all memory.
constexpr std::size_t maximumFileSize = 1 << 20;

// What reading the key file gave: its bytes, or nothing, with whether a file
// was there that could not be read.
struct FileContent {
    std::optional<std::vector<std::uint8_t>> bytes;
    bool unreadable = false;
};

FileContent unreadableFile() {
    return {std::nullopt, true};
}

// Without blocking: a FIFO or a device in the file's place is refused before
// anything is read from it, and a regular file is read up to one byte past
// the limit, enough to tell that it is too large.
FileContent readWholeFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const bool absent = errno == ENOENT || errno == ENOTDIR;
        return absent ? FileContent{} : unreadableFile();
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return unreadableFile();
    }
    std::vector<std::uint8_t> content;
    std::uint8_t chunk[4096];
    while (content.size() <= maximumFileSize) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            ::close(fd);
            return unreadableFile();
        }
        if (count == 0) {
            break;
        }
        content.insert(content.end(), chunk, chunk + count);
    }
    ::close(fd);
    return {std::move(content), false};
}

std::error_code writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return lastError();
        }
        bytes = bytes.subspan(static_cast<std::size_t>(count));
    }
    return {};
}

// Writes a sibling temporary file (created 0600), flushes it to disk and
// renames it over the target, so readers see the old file or the new one. The
// temporary is named as PrivateFile names its own, so that one a killed save
// left is found by PrivateFile::removeStaleTemporaries.
std::error_code writeAtomically(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes) {
    if (path.empty()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    std::string temporary =
        (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return lastError();
    }
    std::error_code error = writeAll(fd, bytes);
    if (!error && ::fsync(fd) != 0) {
        error = lastError();
    }
    if (::close(fd) != 0 && !error) {
        error = lastError();
    }
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = lastError();
    }
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // Makes the rename itself durable; the new file is in place either way.
    if (const int directory =
            ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return {};
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
    const FileContent box = readWholeFile(fileURL_);
    if (!box.bytes) {
        // A file we may not read is as good as absent here, but must not be
        // overwritten by the next save.
        if (unreadable != nullptr) {
            *unreadable = box.unreadable;
        }
        return {};
    }
    auto dictionary = openBox(*box.bytes);
    if (!dictionary) {
        Log::app().error("KeyStore: decrypt failed (corrupt, or written on another machine)");
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
    if (const std::error_code error = writeAtomically(fileURL_, *box)) {
        Log::app().error("KeyStore save failed: %s", error.message());
        return false;
    }
    ::chmod(fileURL_.c_str(), fileMode);
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
