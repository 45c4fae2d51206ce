#include "Hkdf.h"

#include <openssl/core_names.h>
#include <openssl/kdf.h>
#include <openssl/params.h>

#include <memory>
#include <vector>

namespace quorvane {

namespace {

struct KdfDeleter {
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
};

struct KdfContextDeleter {
    void operator()(EVP_KDF_CTX* context) const { EVP_KDF_CTX_free(context); }
};

// OSSL_PARAM takes non-const pointers but only reads through them here.
void* readOnly(std::span<const std::uint8_t> bytes) {
    return const_cast<std::uint8_t*>(bytes.data());
}

} // namespace

std::optional<SecretBytes> Hkdf::sha256(std::span<const std::uint8_t> inputKeyMaterial,
                                        std::span<const std::uint8_t> salt,
                                        std::span<const std::uint8_t> info, std::size_t length) {
    if (length == 0) {
        return std::nullopt;
    }
    std::unique_ptr<EVP_KDF, KdfDeleter> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    if (!kdf) {
        return std::nullopt;
    }
    std::unique_ptr<EVP_KDF_CTX, KdfContextDeleter> context(EVP_KDF_CTX_new(kdf.get()));
    if (!context) {
        return std::nullopt;
    }
    char digest[] = "SHA256";
    // An empty salt or info is left out rather than passed as an empty
    // buffer, which the library refuses; HKDF gives the same result for both.
    std::vector<OSSL_PARAM> params{
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, readOnly(inputKeyMaterial),
                                          inputKeyMaterial.size()),
    };
    if (!salt.empty()) {
        params.push_back(
            OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, readOnly(salt), salt.size()));
    }
    if (!info.empty()) {
        params.push_back(
            OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, readOnly(info), info.size()));
    }
    params.push_back(OSSL_PARAM_construct_end());
    SecretBytes output(length);
    if (EVP_KDF_derive(context.get(), output.data(), output.size(), params.data()) != 1) {
        return std::nullopt;
    }
    return output;
}

} // namespace quorvane
