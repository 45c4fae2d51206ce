#include "platform/crypto/Hkdf.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quorvane {
namespace {

std::vector<std::uint8_t> fromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string repeated(const std::string& hexByte, int count) {
    std::string hex;
    for (int i = 0; i < count; ++i) {
        hex += hexByte;
    }
    return hex;
}

struct KnownAnswer {
    std::string name;
    std::string inputKeyMaterial;
    std::string salt;
    std::string info;
    std::size_t length;
    std::string output;

    friend void PrintTo(const KnownAnswer& row, std::ostream* out) { *out << row.name; }
};

class HkdfKnownAnswerTest : public testing::TestWithParam<KnownAnswer> {};

TEST_P(HkdfKnownAnswerTest, MatchesPublishedOutput) {
    const auto& row = GetParam();
    const auto output = Hkdf::sha256(fromHex(row.inputKeyMaterial), fromHex(row.salt),
                                     fromHex(row.info), row.length);
    ASSERT_TRUE(output);
    EXPECT_EQ(std::vector<std::uint8_t>(output->bytes().begin(), output->bytes().end()),
              fromHex(row.output));
}

// RFC 5869, appendix A: test case 1, and test case 3 (empty salt and info).
INSTANTIATE_TEST_SUITE_P(
    Rfc5869, HkdfKnownAnswerTest,
    testing::Values(KnownAnswer{"case1", repeated("0b", 22), "000102030405060708090a0b0c",
                                "f0f1f2f3f4f5f6f7f8f9", 42,
                                "3cb25f25faacd57a90434f64d0362f2a2d2d0a90cf1a5a4c5db02d56ecc4c5bf"
                                "34007208d5b887185865"},
                    KnownAnswer{"case3", repeated("0b", 22), "", "", 42,
                                "8da4e775a563c18f715f802a063c5a31b8a11f5c5ee1879ec3454e5f3c738d2d"
                                "9d201395faa4b61a96c8"}),
    [](const auto& info) { return info.param.name; });

TEST(HkdfTest, RefusesLengthsTheExpansionCannotReach) {
    const auto material = fromHex(repeated("0b", 22));
    EXPECT_FALSE(Hkdf::sha256(material, {}, {}, 0));
    EXPECT_FALSE(Hkdf::sha256(material, {}, {}, 255 * 32 + 1));
    EXPECT_TRUE(Hkdf::sha256(material, {}, {}, 255 * 32));
}

} // namespace
} // namespace quorvane
