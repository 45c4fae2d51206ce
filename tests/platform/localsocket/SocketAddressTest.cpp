#include "platform/localsocket/SocketAddress.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace quorvane {
namespace {

TEST(SocketAddressTest, PathsThatDoNotFitAreRefusedWithTheReason) {
    const struct {
        std::string path;
        std::error_code error;
    } cases[] = {
        {"", std::make_error_code(std::errc::invalid_argument)},
        {std::string("/tmp/a\0b", 8), std::make_error_code(std::errc::invalid_argument)},
        {"/" + std::string(106, 'p'), {}},
        {"/" + std::string(107, 'p'), std::make_error_code(std::errc::filename_too_long)},
    };
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path.size());
        const auto result = SocketAddress::forPath(path);
        EXPECT_EQ(result.error, error);
        EXPECT_EQ(result.address.has_value(), !error);
        if (result.address) {
            EXPECT_EQ(result.address->path(), path);
            EXPECT_FALSE(result.address->isAbstract());
        }
    }
}

TEST(SocketAddressTest, AFolderTooLongForAPathGetsAnAbstractNameOfItsOwn) {
    const std::string shortFolder = "/run/user/1000";
    const auto inShort = SocketAddress::inDirectory(shortFolder, "app.socket");
    ASSERT_TRUE(inShort.address);
    EXPECT_EQ(inShort.address->path(), "/run/user/1000/app.socket");

    const std::string longFolder = "/tmp/" + std::string(120, 'f');
    const auto inLong = SocketAddress::inDirectory(longFolder, "app.socket");
    ASSERT_TRUE(inLong.address) << inLong.error.message();
    EXPECT_TRUE(inLong.address->isAbstract());
    EXPECT_TRUE(inLong.address->path().empty());
    EXPECT_EQ(
        inLong.address->describe().rfind("@app.socket-" + std::to_string(::geteuid()) + "-", 0), 0u)
        << inLong.address->describe();

    // The same folder always gets the same name, and another folder another one.
    EXPECT_EQ(SocketAddress::inDirectory(longFolder, "app.socket").address->describe(),
              inLong.address->describe());
    EXPECT_NE(SocketAddress::inDirectory(longFolder + "g", "app.socket").address->describe(),
              inLong.address->describe());
}

} // namespace
} // namespace quorvane
