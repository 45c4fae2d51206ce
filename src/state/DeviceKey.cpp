#include "DeviceKey.h"

#include "engine/Log.h"
#include "platform/crypto/Hkdf.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

namespace quorvane {

namespace {

// Key material for machines without an identity. Changing any of these
// three texts makes every existing key file unreadable.
constexpr std::string_view fallbackSeed = "net.velmoro.quorvane.reserve-keys-source";
constexpr std::string_view salt = "net.velmoro.quorvane.sealedkeyvault.r2";
constexpr std::string_view info = "api-keys";

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

DeviceKey::DeviceKey(HostIdentity host)
    : host_(std::move(host)) {}

std::optional<SecretBytes> DeviceKey::derive() const {
    const HostIdentity::Bytes uuid = hostUUID();
    const bool missing = std::all_of(uuid.begin(), uuid.end(), [](auto byte) { return byte == 0; });
    const auto material = missing ? bytesOf(fallbackSeed) : std::span<const std::uint8_t>(uuid);
    return Hkdf::sha256(material, bytesOf(salt), bytesOf(info), size);
}

HostIdentity::Bytes DeviceKey::hostUUID() const {
    const HostIdentity::Reading reading = host_.read();
    if (reading.error != 0) {
        Log::app().error("DeviceKey: gethostuuid failed (errno %d) — falling back to seed",
                         reading.error);
    }
    return reading.bytes;
}

} // namespace quorvane
