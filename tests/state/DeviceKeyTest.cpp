#include "state/DeviceKey.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::LogCapture;

std::vector<std::uint8_t> fromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::vector<std::uint8_t> toVector(const SecretBytes& secret) {
    return {secret.bytes().begin(), secret.bytes().end()};
}

// Computed apart from this code (HMAC-SHA256 by hand) with the fixed salt
// and info, so a change of either, or of the seed, shows here before it makes
// users' key files unreadable.
const std::string keyOfFixtureMachine =
    "400bde8af62dd79cca2e54fe31d642600977e10188a1691801e95b787a36ae4d";
const std::string keyOfSeed = "944981bfcbb6ba6d1366b9a976bf234476051e86a862f0abe6e68e10c496b92e";

class DeviceKeyTest : public testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(std::getenv("TMPDIR")) /
                     testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(directory_);
    }

    HostIdentity machine(const std::string& content) {
        const fs::path path = directory_ / "machine-id";
        std::ofstream(path, std::ios::binary) << content;
        return HostIdentity({path});
    }

    fs::path directory_;
    LogCapture logs_;
};

TEST_F(DeviceKeyTest, DerivesFromTheMachineIdentity) {
    const DeviceKey deviceKey(machine("0123456789abcdef0123456789abcdef\n"));

    const auto key = deviceKey.derive();
    ASSERT_TRUE(key);
    EXPECT_EQ(toVector(*key), fromHex(keyOfFixtureMachine));
    EXPECT_EQ(deviceKey.hostUUID()[0], 0x01);
    EXPECT_TRUE(logs_.records().empty());
}

TEST_F(DeviceKeyTest, AMissingIdentityIsLoggedAndFallsBackToTheSeed) {
    const DeviceKey deviceKey(HostIdentity({directory_ / "absent"}));

    const auto key = deviceKey.derive();
    ASSERT_TRUE(key);
    EXPECT_EQ(toVector(*key), fromHex(keyOfSeed));
    EXPECT_EQ(logs_.records(),
              (std::vector<LogCapture::Record>{
                  {"app", LogChannel::Level::error,
                   "DeviceKey: gethostuuid failed (errno 2) — falling back to seed"}}));
}

TEST_F(DeviceKeyTest, AnAllZeroIdentityUsesTheSeedWithoutLogging) {
    const DeviceKey deviceKey(machine(std::string(32, '0') + "\n"));

    const auto key = deviceKey.derive();
    ASSERT_TRUE(key);
    EXPECT_EQ(toVector(*key), fromHex(keyOfSeed));
    EXPECT_TRUE(logs_.records().empty());
}

} // namespace
} // namespace quorvane
