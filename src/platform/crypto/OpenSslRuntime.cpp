#include "OpenSslRuntime.h"

#include <openssl/crypto.h>

namespace quorvane {

bool OpenSslRuntime::initialise() {
    return OPENSSL_init_crypto(OPENSSL_INIT_LOAD_CONFIG, nullptr) == 1;
}

} // namespace quorvane
