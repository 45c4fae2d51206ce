#include "platform/crypto/AesGcm.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

Bytes toVector(const SecretBytes& secret) {
    return {secret.bytes().begin(), secret.bytes().end()};
}

AesGcm::Nonce nonceFromHex(const std::string& hex) {
    const Bytes bytes = fromHex(hex);
    AesGcm::Nonce nonce{};
    std::copy(bytes.begin(), bytes.end(), nonce.begin());
    return nonce;
}

struct KnownAnswer {
    std::string name;
    std::string key;
    std::string nonce;
    std::string plaintext;
    std::string ciphertext;
    std::string tag;

    friend void PrintTo(const KnownAnswer& row, std::ostream* out) { *out << row.name; }
};

class AesGcmKnownAnswerTest : public testing::TestWithParam<KnownAnswer> {};

TEST_P(AesGcmKnownAnswerTest, SealsToThePublishedBoxAndOpensIt) {
    const auto& row = GetParam();
    const Bytes key = fromHex(row.key);
    const Bytes expected = fromHex(row.nonce + row.ciphertext + row.tag);

    const auto box = AesGcm::sealWithNonce(key, nonceFromHex(row.nonce), fromHex(row.plaintext));
    ASSERT_TRUE(box);
    EXPECT_EQ(*box, expected);

    const auto opened = AesGcm::open(key, expected);
    ASSERT_TRUE(opened);
    EXPECT_EQ(toVector(*opened), fromHex(row.plaintext));
}

// The AES-256 cases without additional data from the paper that defines GCM
// (McGrew and Viega), as used by NIST's validation vectors: 13 (empty
// plaintext, a box of only nonce and tag), 14 and 15.
INSTANTIATE_TEST_SUITE_P(
    McGrewViega, AesGcmKnownAnswerTest,
    testing::Values(KnownAnswer{"case13", std::string(64, '0'), std::string(24, '0'), "", "",
                                "530f8afbc74536b9a963b4f1c4cb738b"},
                    KnownAnswer{"case14", std::string(64, '0'), std::string(24, '0'),
                                std::string(32, '0'), "cea7403d4d606b6e074ec5d3baf39d18",
                                "d0d1c8a799996bf0265b98b5d48ab919"},
                    KnownAnswer{"case15",
                                "feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308",
                                "cafebabefacedbaddecaf888",
                                "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                                "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255",
                                "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
                                "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662898015ad",
                                "b094dac5d93471bdec1a502270e3cc6c"}),
    [](const auto& info) { return info.param.name; });

class AesGcmTest : public testing::Test {
protected:
    const Bytes key = fromHex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
    const Bytes plaintext = Bytes{'{', '"', 'k', '"', ':', '"', 'v', '"', '}'};
};

TEST_F(AesGcmTest, EverySealDrawsAFreshNonce) {
    const auto first = AesGcm::seal(key, plaintext);
    const auto second = AesGcm::seal(key, plaintext);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->size(), AesGcm::nonceSize + plaintext.size() + AesGcm::tagSize);
    EXPECT_NE(Bytes(first->begin(), first->begin() + AesGcm::nonceSize),
              Bytes(second->begin(), second->begin() + AesGcm::nonceSize));
    EXPECT_EQ(toVector(*AesGcm::open(key, *first)), plaintext);
    EXPECT_EQ(toVector(*AesGcm::open(key, *second)), plaintext);
}

TEST_F(AesGcmTest, AnyAlteredByteFailsAuthentication) {
    const auto box = AesGcm::seal(key, plaintext);
    ASSERT_TRUE(box);
    // A byte of the nonce, the first and last of the ciphertext, one of the tag.
    const std::size_t last = box->size() - 1;
    for (const std::size_t position :
         {std::size_t{0}, AesGcm::nonceSize, AesGcm::nonceSize + plaintext.size() - 1, last}) {
        Bytes altered = *box;
        altered[position] ^= 0x01;
        EXPECT_FALSE(AesGcm::open(key, altered)) << "byte " << position;
    }
}

TEST_F(AesGcmTest, RefusesWrongKeysAndShortBoxes) {
    const auto box = AesGcm::seal(key, plaintext);
    ASSERT_TRUE(box);
    Bytes otherKey = key;
    otherKey[31] ^= 0x80;
    EXPECT_FALSE(AesGcm::open(otherKey, *box));
    EXPECT_FALSE(AesGcm::open(Bytes(16, 0), *box));
    EXPECT_FALSE(AesGcm::seal(Bytes(16, 0), plaintext));

    const Bytes empty = *AesGcm::seal(key, {});
    ASSERT_EQ(empty.size(), AesGcm::minimumBoxSize);
    EXPECT_TRUE(AesGcm::open(key, empty));
    EXPECT_FALSE(AesGcm::open(key, Bytes(empty.begin(), empty.end() - 1)));
    EXPECT_FALSE(AesGcm::open(key, {}));
}

} // namespace
} // namespace quorvane
