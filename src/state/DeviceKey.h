// The key that seals the key file. It is never stored: every use derives it
// afresh from the machine's identity, so a key file copied to another machine
// does not open there.
#pragma once

#include "platform/crypto/SecretBytes.h"
#include "platform/hostid/HostIdentity.h"

#include <cstddef>
#include <optional>

namespace quorvane {

class DeviceKey {
public:
    static constexpr std::size_t size = 32;

    // Over this machine's identity.
    DeviceKey() = default;
    // Over another identity source (tests, the key probe).
    explicit DeviceKey(HostIdentity host);

    // The 32-byte key; nothing only when the crypto library fails.
    std::optional<SecretBytes> derive() const;

    // The machine's 16 identity bytes; all zero, and logged, when it has none.
    HostIdentity::Bytes hostUUID() const;

private:
    HostIdentity host_;
};

} // namespace quorvane
