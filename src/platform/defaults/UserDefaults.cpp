#include "UserDefaults.h"

#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <sstream>

namespace quorvane {

namespace {

using Json = nlohmann::json;

constexpr std::string_view dataMember = "$data";
constexpr std::string_view base64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string encodeBase64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const auto chunk = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1]))
                               << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += base64Alphabet[chunk >> 18 & 0x3F];
        out += base64Alphabet[chunk >> 12 & 0x3F];
        out += base64Alphabet[chunk >> 6 & 0x3F];
        out += base64Alphabet[chunk & 0x3F];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest == 0) {
        return out;
    }
    std::uint32_t chunk = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (rest == 2) {
        chunk |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    }
    out += base64Alphabet[chunk >> 18 & 0x3F];
    out += base64Alphabet[chunk >> 12 & 0x3F];
    out += rest == 2 ? base64Alphabet[chunk >> 6 & 0x3F] : '=';
    out += '=';
    return out;
}

int base64Digit(char c) {
    const auto position = base64Alphabet.find(c);
    return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

// Strict: padded to a multiple of four, padding only at the end, nothing
// outside the alphabet. Anything else is not data.
std::optional<std::string> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') {
        padding = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
    }
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::uint32_t chunk = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const bool padded = last && j >= 4 - padding;
            const int digit = padded ? 0 : base64Digit(text[i + j]);
            if (digit < 0) {
                return std::nullopt;
            }
            chunk = chunk << 6 | static_cast<std::uint32_t>(digit);
        }
        out += static_cast<char>(chunk >> 16 & 0xFF);
        if (!last || padding < 2) {
            out += static_cast<char>(chunk >> 8 & 0xFF);
        }
        if (!last || padding < 1) {
            out += static_cast<char>(chunk & 0xFF);
        }
    }
    return out;
}

// Text that is not valid UTF-8 cannot go into a JSON file; it is kept with
// replacement characters, in memory as on disk, so both always agree.
std::string sanitizedUTF8(std::string_view text) {
    const Json value = std::string(text);
    return Json::parse(value.dump(-1, ' ', false, Json::error_handler_t::replace))
        .get<std::string>();
}

std::filesystem::path configHome() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && *home != '\0' ? home : "/tmp") / ".config";
}

std::filesystem::path applicationDirectory() {
    return configHome() / "Quorvane";
}

// Creates every missing directory of the path with mode 0700; the settings of
// one user are nobody else's business.
void createPrivateDirectories(const std::filesystem::path& directory) {
    std::error_code error;
    if (directory.empty() || std::filesystem::is_directory(directory, error)) {
        return;
    }
    createPrivateDirectories(directory.parent_path());
    ::mkdir(directory.c_str(), 0700);
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void syncDirectory(const std::filesystem::path& directory) {
    const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    ::fsync(descriptor);
    ::close(descriptor);
}

// Writes into a temporary file beside the target and renames it over the
// target, so a reader or a crash sees either the old file or the new one.
bool writeAtomically(const std::filesystem::path& file, std::string_view contents) {
    const auto directory = file.parent_path();
    createPrivateDirectories(directory);
    std::string pattern = (directory / ("." + file.filename().string() + ".XXXXXX")).string();
    const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool written = ::fchmod(descriptor, 0600) == 0 && writeAll(descriptor, contents) &&
                         ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed || ::rename(pattern.c_str(), file.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    syncDirectory(directory);
    return true;
}

// Keeps an unreadable file for a person to look at instead of overwriting it
// with the next write; an earlier copy set aside is not replaced.
void setAside(const std::filesystem::path& file) {
    std::error_code error;
    auto target = file;
    target += ".corrupt";
    for (int attempt = 2; std::filesystem::exists(target, error); ++attempt) {
        target = file;
        target += ".corrupt-" + std::to_string(attempt);
    }
    std::filesystem::rename(file, target, error);
}

Json readDomain(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return Json::object();
    }
    std::ifstream stream(file, std::ios::binary);
    std::stringstream contents;
    contents << stream.rdbuf();
    Json parsed = Json::parse(contents.str(), nullptr, false);
    if (!stream || parsed.is_discarded() || !parsed.is_object()) {
        setAside(file);
        return Json::object();
    }
    return parsed;
}

// The values of one file. Every UserDefaults object opened on the same file
// shares one Domain, so two of them never overwrite each other's changes.
struct Domain {
    std::filesystem::path file;
    mutable std::mutex mutex;
    Json values;

    const Json* find(std::string_view key) const {
        const auto found = values.find(std::string(key));
        return found == values.end() ? nullptr : &*found;
    }

    void set(std::string_view key, Json value) {
        std::lock_guard lock(mutex);
        values[sanitizedUTF8(key)] = std::move(value);
        save();
    }

    // A failed write leaves the old file in place; the values stay in memory
    // and the next change tries again.
    void save() const { writeAtomically(file, values.dump(2) + "\n"); }
};

std::shared_ptr<Domain> openDomain(const std::filesystem::path& file) {
    static std::mutex registryMutex;
    static std::map<std::filesystem::path, std::weak_ptr<Domain>> registry;

    std::error_code error;
    auto identity = std::filesystem::absolute(file, error).lexically_normal();
    if (error) {
        identity = file;
    }
    std::lock_guard lock(registryMutex);
    std::erase_if(registry, [](const auto& entry) { return entry.second.expired(); });
    if (auto open = registry[identity].lock()) {
        return open;
    }
    auto domain = std::make_shared<Domain>();
    domain->file = file;
    domain->values = readDomain(file);
    registry[identity] = domain;
    return domain;
}

} // namespace

struct UserDefaults::Storage {
    std::filesystem::path file;
    std::shared_ptr<Domain> domain;
};

UserDefaults::UserDefaults(std::filesystem::path file)
    : storage_(std::make_unique<Storage>()) {
    storage_->domain = openDomain(file);
    storage_->file = std::move(file);
}

UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standard() {
    static UserDefaults defaults(applicationDirectory() / "defaults.json");
    return defaults;
}

std::unique_ptr<UserDefaults> UserDefaults::suite(std::string_view name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return nullptr;
    }
    const auto file = applicationDirectory() / "suites" / (std::string(name) + ".json");
    return std::make_unique<UserDefaults>(file);
}

std::optional<bool> UserDefaults::boolValue(std::string_view key) const {
    std::lock_guard lock(storage_->domain->mutex);
    const Json* value = storage_->domain->find(key);
    if (value == nullptr || !value->is_boolean()) {
        return std::nullopt;
    }
    return value->get<bool>();
}

std::optional<std::int64_t> UserDefaults::integerValue(std::string_view key) const {
    std::lock_guard lock(storage_->domain->mutex);
    const Json* value = storage_->domain->find(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_number_unsigned()) {
        const auto number = value->get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(number);
    }
    if (!value->is_number_integer()) {
        return std::nullopt;
    }
    return value->get<std::int64_t>();
}

std::optional<double> UserDefaults::doubleValue(std::string_view key) const {
    std::lock_guard lock(storage_->domain->mutex);
    const Json* value = storage_->domain->find(key);
    if (value == nullptr || !value->is_number()) {
        return std::nullopt;
    }
    return value->get<double>();
}

std::optional<std::string> UserDefaults::stringValue(std::string_view key) const {
    std::lock_guard lock(storage_->domain->mutex);
    const Json* value = storage_->domain->find(key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::optional<std::string> UserDefaults::dataValue(std::string_view key) const {
    std::lock_guard lock(storage_->domain->mutex);
    const Json* value = storage_->domain->find(key);
    if (value == nullptr || !value->is_object() || value->size() != 1) {
        return std::nullopt;
    }
    const auto encoded = value->find(std::string(dataMember));
    if (encoded == value->end() || !encoded->is_string()) {
        return std::nullopt;
    }
    return decodeBase64(encoded->get_ref<const std::string&>());
}

bool UserDefaults::contains(std::string_view key) const {
    std::lock_guard lock(storage_->domain->mutex);
    return storage_->domain->find(key) != nullptr;
}

void UserDefaults::setBool(std::string_view key, bool value) {
    storage_->domain->set(key, value);
}

void UserDefaults::setInteger(std::string_view key, std::int64_t value) {
    storage_->domain->set(key, value);
}

void UserDefaults::setDouble(std::string_view key, double value) {
    // JSON has no NaN or infinity; such a value would come back as null, so
    // the key is dropped instead of keeping a stale number.
    if (!std::isfinite(value)) {
        remove(key);
        return;
    }
    storage_->domain->set(key, value);
}

void UserDefaults::setString(std::string_view key, std::string_view value) {
    storage_->domain->set(key, sanitizedUTF8(value));
}

void UserDefaults::setData(std::string_view key, std::string_view bytes) {
    Json value = Json::object();
    value[std::string(dataMember)] = encodeBase64(bytes);
    storage_->domain->set(key, std::move(value));
}

void UserDefaults::remove(std::string_view key) {
    std::lock_guard lock(storage_->domain->mutex);
    if (storage_->domain->values.erase(std::string(key)) > 0) {
        storage_->domain->save();
    }
}

void UserDefaults::removePersistentDomain() {
    std::lock_guard lock(storage_->domain->mutex);
    storage_->domain->values = Json::object();
    std::error_code ignored;
    std::filesystem::remove(storage_->domain->file, ignored);
}

const std::filesystem::path& UserDefaults::file() const {
    return storage_->file;
}

} // namespace quorvane
