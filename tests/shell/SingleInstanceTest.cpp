#include "shell/SingleInstance.h"

#include "platform/localsocket/LocalSocketConnection.h"
#include "support/ViewTestState.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        directory = QDir::tempPath() + "/single-instance-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name();
        QDir(directory).removeRecursively();
    }
    void TearDown() override { QDir(directory).removeRecursively(); }

    // Counts, in reopens, the reopen requests the instance hands on.
    void countReopens(SingleInstance& instance) {
        QObject::connect(&instance, &SingleInstance::reopenRequested, [this] { ++reopens; });
    }

    QString directory;
    int reopens = 0;
};

TEST_F(SingleInstanceTest, LaterLaunchHandsReopenToTheFirst) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    countReopens(first);

    SingleInstance second(directory);
    EXPECT_EQ(second.acquire(1s), SingleInstance::Role::handedOver);
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 1; }));
    SingleInstance third(directory);
    EXPECT_EQ(third.acquire(1s), SingleInstance::Role::handedOver);
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 2; }));
}

TEST_F(SingleInstanceTest, OnlyWholeReopenLinesCount) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    countReopens(first);

    auto client = LocalSocketConnection::connect(first.socketPath().toStdString());
    ASSERT_TRUE(client);
    // Another line first, then a reopen line that arrives in two pieces.
    ASSERT_TRUE(client->writeAll("quit\nreo", 1s));
    test::ViewTestState::processEvents();
    EXPECT_EQ(reopens, 0);
    ASSERT_TRUE(client->writeAll("pen\n", 1s));
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 1; }));
    test::ViewTestState::processEvents();
    EXPECT_EQ(reopens, 1);
}

TEST_F(SingleInstanceTest, EndlessLineIsDropped) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    countReopens(first);

    auto flooder = LocalSocketConnection::connect(first.socketPath().toStdString());
    ASSERT_TRUE(flooder);
    const std::string noLineEnd(4096, 'x');
    bool dropped = false;
    for (int i = 0; i < 64 && !dropped; ++i) {
        dropped = !flooder->writeAll(noLineEnd, 100ms);
        test::ViewTestState::processEvents();
    }
    EXPECT_TRUE(dropped);

    SingleInstance second(directory);
    EXPECT_EQ(second.acquire(1s), SingleInstance::Role::handedOver);
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 1; }));
}

TEST_F(SingleInstanceTest, SocketIsForTheUserAlone) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    const QFileInfo socket(first.socketPath());
    ASSERT_TRUE(socket.exists());
    EXPECT_TRUE(socket.permissions() & QFileDevice::WriteOwner);
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_FALSE(socket.permissions() & others);
}

TEST_F(SingleInstanceTest, LockAndSocketLeftByACrashedRunAreCleared) {
    QDir().mkpath(directory);
    const QString lockPath = directory + "/quorvane.lock";
    const QString socketPath = directory + "/quorvane.socket";

    // A run that dies holding the lock and leaving its socket file behind.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* lock = new QLockFile(lockPath);
        const bool locked = lock->tryLock(0);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.toLocal8Bit().constData(),
                     sizeof(address.sun_path) - 1);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::listen(fd, 1);
        _exit(locked && bound ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFileInfo::exists(lockPath));
    ASSERT_TRUE(QFileInfo::exists(socketPath));

    SingleInstance next(directory);
    ASSERT_EQ(next.acquire(), SingleInstance::Role::primary);
    countReopens(next);
    SingleInstance later(directory);
    EXPECT_EQ(later.acquire(1s), SingleInstance::Role::handedOver);
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 1; }));
}

TEST_F(SingleInstanceTest, LiveHolderThatDoesNotAnswerIsUnreachable) {
    QDir().mkpath(directory);
    QLockFile holder(directory + "/quorvane.lock");
    holder.setStaleLockTime(0);
    ASSERT_TRUE(holder.tryLock(0));

    SingleInstance second(directory);
    EXPECT_EQ(second.acquire(300ms), SingleInstance::Role::unreachable);
}

} // namespace
} // namespace quorvane
