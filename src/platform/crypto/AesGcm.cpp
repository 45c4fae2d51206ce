#include "AesGcm.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace quorvane {

namespace {

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

// The library counts lengths in int.
bool fitsInt(std::size_t size) {
    return size <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

CipherContext startCipher(bool encrypt, std::span<const std::uint8_t> key,
                          std::span<const std::uint8_t> nonce) {
    CipherContext context(EVP_CIPHER_CTX_new());
    if (!context) {
        return nullptr;
    }
    const int mode = encrypt ? 1 : 0;
    if (EVP_CipherInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr, mode) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN,
                            static_cast<int>(AesGcm::nonceSize), nullptr) != 1 ||
        EVP_CipherInit_ex(context.get(), nullptr, nullptr, key.data(), nonce.data(), mode) != 1) {
        return nullptr;
    }
    return context;
}

} // namespace

std::optional<std::vector<std::uint8_t>> AesGcm::seal(std::span<const std::uint8_t> key,
                                                      std::span<const std::uint8_t> plaintext) {
    Nonce nonce{};
    if (RAND_bytes(nonce.data(), static_cast<int>(nonce.size())) != 1) {
        return std::nullopt;
    }
    return sealWithNonce(key, nonce, plaintext);
}

std::optional<std::vector<std::uint8_t>>
AesGcm::sealWithNonce(std::span<const std::uint8_t> key, const Nonce& nonce,
                      std::span<const std::uint8_t> plaintext) {
    if (key.size() != keySize || !fitsInt(plaintext.size())) {
        return std::nullopt;
    }
    CipherContext context = startCipher(true, key, nonce);
    if (!context) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> box(nonceSize + plaintext.size() + tagSize);
    std::copy(nonce.begin(), nonce.end(), box.begin());
    std::uint8_t* ciphertext = box.data() + nonceSize;
    int written = 0;
    if (!plaintext.empty() &&
        EVP_EncryptUpdate(context.get(), ciphertext, &written, plaintext.data(),
                          static_cast<int>(plaintext.size())) != 1) {
        return std::nullopt;
    }
    int finalWritten = 0;
    if (EVP_EncryptFinal_ex(context.get(), ciphertext + written, &finalWritten) != 1 ||
        static_cast<std::size_t>(written + finalWritten) != plaintext.size()) {
        return std::nullopt;
    }
    std::uint8_t* tag = ciphertext + plaintext.size();
    if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(tagSize), tag) !=
        1) {
        return std::nullopt;
    }
    return box;
}

std::optional<SecretBytes> AesGcm::open(std::span<const std::uint8_t> key,
                                        std::span<const std::uint8_t> box) {
    if (key.size() != keySize || box.size() < minimumBoxSize || !fitsInt(box.size())) {
        return std::nullopt;
    }
    const auto nonce = box.first(nonceSize);
    const auto ciphertext = box.subspan(nonceSize, box.size() - minimumBoxSize);
    const auto tag = box.last(tagSize);
    CipherContext context = startCipher(false, key, nonce);
    if (!context) {
        return std::nullopt;
    }
    SecretBytes plaintext(ciphertext.size());
    int written = 0;
    if (!ciphertext.empty() &&
        EVP_DecryptUpdate(context.get(), plaintext.data(), &written, ciphertext.data(),
                          static_cast<int>(ciphertext.size())) != 1) {
        return std::nullopt;
    }
    // The library only reads the expected tag, whatever its signature says.
    auto* expectedTag = const_cast<std::uint8_t*>(tag.data());
    if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(tagSize),
                            expectedTag) != 1) {
        return std::nullopt;
    }
    int finalWritten = 0;
    if (EVP_DecryptFinal_ex(context.get(), plaintext.data() + written, &finalWritten) != 1) {
        return std::nullopt;
    }
    return plaintext;
}

} // namespace quorvane
