#include "platform/localsocket/LocalSocketServer.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// An abstract name of this test process's own, so that parallel runs never meet.
SocketAddress uniqueAbstractName(const std::string& what) {
    return *SocketAddress::abstract("quorvane-test-" + what + "-" + std::to_string(::getpid()))
                .address;
}

TEST(LocalSocketServerTest, ListenSaysWhyItFailed) {
    // Below a file that is no folder, so nothing is ever made there.
    const auto belowAFile = SocketAddress::forPath("/dev/null/socket");
    ASSERT_TRUE(belowAFile.address);
    LocalSocketServer server;
    EXPECT_EQ(server.listen(*belowAFile.address), std::errc::not_a_directory);
    EXPECT_FALSE(server.isListening());

    const auto name = uniqueAbstractName("taken");
    LocalSocketServer holder;
    ASSERT_FALSE(holder.listen(name));
    EXPECT_EQ(server.listen(name), std::errc::address_in_use);
}

TEST(LocalSocketServerTest, AtAnAbstractNameOnlyTheOwnersConnectionsAreTaken) {
    for (const bool ownedByUs : {true, false}) {
        SCOPED_TRACE(ownedByUs);
        const auto name = uniqueAbstractName(ownedByUs ? "ours" : "theirs");
        // A server that belongs to someone else sees this test's connection as a stranger's.
        LocalSocketServer server(ownedByUs ? ::geteuid() : ::geteuid() + 1);
        ASSERT_FALSE(server.listen(name));
        auto client = LocalSocketConnection::connect(name);
        ASSERT_TRUE(client);

        const auto accepted = server.acceptWaiting();
        EXPECT_EQ(accepted.size(), ownedByUs ? 1U : 0U);
        // A stranger's connection is closed, not left waiting.
        std::string received;
        EXPECT_EQ(client->readAvailable(received) == LocalSocketConnection::ReadStatus::closed,
                  !ownedByUs);
    }
}

// Another user who keeps connecting must not hold the caller in one call: what waits beyond the
// limit, the stranger's connections included, is left for the next call.
TEST(LocalSocketServerTest, OneCallTakesNoMoreThanItsShareOfTheWaitingConnections) {
    for (const bool ownedByUs : {true, false}) {
        SCOPED_TRACE(ownedByUs);
        const auto name = uniqueAbstractName(ownedByUs ? "share-ours" : "share-theirs");
        LocalSocketServer server(ownedByUs ? ::geteuid() : ::geteuid() + 1);
        ASSERT_FALSE(server.listen(name));
        std::vector<LocalSocketConnection> clients;
        for (int client = 0; client < 5; ++client) {
            auto connection = LocalSocketConnection::connect(name);
            ASSERT_TRUE(connection);
            clients.push_back(std::move(*connection));
        }
        const auto closedClients = [&] {
            return std::count_if(clients.begin(), clients.end(), [](auto& client) {
                std::string received;
                return client.readAvailable(received) == LocalSocketConnection::ReadStatus::closed;
            });
        };

        // Kept open, so that only the stranger's connections read as closed.
        const auto first = server.acceptWaiting(3);
        EXPECT_EQ(first.size(), ownedByUs ? 3U : 0U);
        EXPECT_EQ(closedClients(), ownedByUs ? 0 : 3);
        const auto second = server.acceptWaiting(3);
        EXPECT_EQ(second.size(), ownedByUs ? 2U : 0U);
        EXPECT_EQ(closedClients(), ownedByUs ? 0 : 5);
        EXPECT_TRUE(server.acceptWaiting(3).empty());
    }
}

TEST(LocalSocketServerTest, AClientRefusesAListenerOfAnotherUser) {
    const auto name = uniqueAbstractName("listener");
    LocalSocketServer server;
    ASSERT_FALSE(server.listen(name));

    EXPECT_TRUE(LocalSocketConnection::connect(name, ::geteuid()));
    EXPECT_FALSE(LocalSocketConnection::connect(name, ::geteuid() + 1));
}

} // namespace
} // namespace quorvane
