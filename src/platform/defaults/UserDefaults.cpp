#include "UserDefaults.h"

#include "DefaultsDomain.h"
#include "platform/files/UserDirectories.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <map>
#include <mutex>

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

// Empty when there is no home to keep settings in: they stay in memory then.
std::filesystem::path applicationFile(const std::filesystem::path& relative) {
    const auto config = UserDirectories::configHome();
    return config ? *config / "Quorvane" / relative : std::filesystem::path();
}

// Every UserDefaults object opened on the same file shares one domain, so two
// of them never overwrite each other's changes.
std::shared_ptr<DefaultsDomain> openDomain(const std::filesystem::path& file) {
    if (file.empty()) {
        return std::make_shared<DefaultsDomain>(file);
    }
    static std::mutex registryMutex;
    static std::map<std::filesystem::path, std::weak_ptr<DefaultsDomain>> registry;

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
    auto domain = std::make_shared<DefaultsDomain>(file);
    registry[identity] = domain;
    return domain;
}

class DefaultsErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "defaults"; }

    std::string message(int value) const override {
        switch (static_cast<UserDefaults::Error>(value)) {
        case UserDefaults::Error::readOnly:
            return "the settings file could not be read, so it is not replaced this run";
        case UserDefaults::Error::tooLarge:
            return "the settings file would be larger than 16 MiB";
        case UserDefaults::Error::notRegularFile:
            return "not a regular file";
        }
        return "unknown error";
    }
};

} // namespace

struct UserDefaults::Storage {
    std::filesystem::path file;
    std::shared_ptr<DefaultsDomain> domain;

    template <typename Read>
    auto read(std::string_view key, Read read) const {
        return domain->visit(key, [&](const Json* value) {
            return value == nullptr ? decltype(read(*value))() : read(*value);
        });
    }
};

std::error_code make_error_code(UserDefaults::Error error) {
    static const DefaultsErrorCategory category;
    return {static_cast<int>(error), category};
}

void UserDefaults::setReporter(Reporter reporter) {
    DefaultsDomain::setReporter(std::move(reporter));
}

UserDefaults::UserDefaults(std::filesystem::path file)
    : storage_(std::make_unique<Storage>()) {
    storage_->domain = openDomain(file);
    storage_->file = std::move(file);
}

UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standard() {
    static UserDefaults defaults(applicationFile("defaults.json"));
    return defaults;
}

std::unique_ptr<UserDefaults> UserDefaults::suite(std::string_view name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return nullptr;
    }
    const auto file =
        applicationFile(std::filesystem::path("suites") / (std::string(name) + ".json"));
    return std::make_unique<UserDefaults>(file);
}

std::optional<bool> UserDefaults::boolValue(std::string_view key) const {
    return storage_->read(key, [](const Json& value) -> std::optional<bool> {
        if (!value.is_boolean()) {
            return std::nullopt;
        }
        return value.get<bool>();
    });
}

std::optional<std::int64_t> UserDefaults::integerValue(std::string_view key) const {
    return storage_->read(key, [](const Json& value) -> std::optional<std::int64_t> {
        if (value.is_number_unsigned()) {
            const auto number = value.get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                return std::nullopt;
            }
            return static_cast<std::int64_t>(number);
        }
        if (!value.is_number_integer()) {
            return std::nullopt;
        }
        return value.get<std::int64_t>();
    });
}

std::optional<double> UserDefaults::doubleValue(std::string_view key) const {
    return storage_->read(key, [](const Json& value) -> std::optional<double> {
        if (!value.is_number()) {
            return std::nullopt;
        }
        return value.get<double>();
    });
}

std::optional<std::string> UserDefaults::stringValue(std::string_view key) const {
    return storage_->read(key, [](const Json& value) -> std::optional<std::string> {
        if (!value.is_string()) {
            return std::nullopt;
        }
        return value.get<std::string>();
    });
}

std::optional<std::string> UserDefaults::dataValue(std::string_view key) const {
    return storage_->read(key, [](const Json& value) -> std::optional<std::string> {
        if (!value.is_object() || value.size() != 1) {
            return std::nullopt;
        }
        const auto encoded = value.find(std::string(dataMember));
        if (encoded == value.end() || !encoded->is_string()) {
            return std::nullopt;
        }
        return decodeBase64(encoded->get_ref<const std::string&>());
    });
}

bool UserDefaults::contains(std::string_view key) const {
    return storage_->domain->visit(key, [](const Json* value) { return value != nullptr; });
}

std::error_code UserDefaults::setBool(std::string_view key, bool value) {
    return storage_->domain->set(sanitizedUTF8(key), value);
}

std::error_code UserDefaults::setInteger(std::string_view key, std::int64_t value) {
    return storage_->domain->set(sanitizedUTF8(key), value);
}

std::error_code UserDefaults::setDouble(std::string_view key, double value) {
    // JSON has no NaN or infinity; such a value would come back as null, so
    // the key is dropped instead of keeping a stale number.
    if (!std::isfinite(value)) {
        return remove(key);
    }
    return storage_->domain->set(sanitizedUTF8(key), value);
}

std::error_code UserDefaults::setString(std::string_view key, std::string_view value) {
    return storage_->domain->set(sanitizedUTF8(key), sanitizedUTF8(value));
}

std::error_code UserDefaults::setData(std::string_view key, std::string_view bytes) {
    Json value = Json::object();
    value[std::string(dataMember)] = encodeBase64(bytes);
    return storage_->domain->set(sanitizedUTF8(key), std::move(value));
}

std::error_code UserDefaults::remove(std::string_view key) {
    return storage_->domain->erase(key);
}

std::error_code UserDefaults::copyValue(std::string_view from, std::string_view to) {
    return storage_->domain->copy(from, sanitizedUTF8(to));
}

void UserDefaults::removePersistentDomain() {
    storage_->domain->removeFile();
}

bool UserDefaults::isReadOnly() const {
    return storage_->domain->isReadOnly();
}

const std::filesystem::path& UserDefaults::file() const {
    return storage_->file;
}

} // namespace quorvane
