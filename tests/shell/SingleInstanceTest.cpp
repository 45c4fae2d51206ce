#include "shell/SingleInstance.h"

#include "platform/localsocket/LocalSocketConnection.h"
#include "support/LogCapture.h"
#include "support/ViewTestState.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <future>
#include <string>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

// Where the instance lives: a folder whose socket path fits a socket address wherever the tests
// run from, or one whose path is too long for any.
enum class Folder { short_, tooLong };

class SingleInstanceTest : public testing::TestWithParam<Folder> {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        directory = root.path();
        if (folder() == Folder::tooLong) {
            directory += "/" + QString(120, 'd');
            ASSERT_TRUE(QDir().mkpath(directory));
        }
    }

    virtual Folder folder() const { return GetParam(); }

    // Counts, in reopens, the reopen requests the instance hands on.
    void countReopens(SingleInstance& instance) {
        QObject::connect(&instance, &SingleInstance::reopenRequested, [this] { ++reopens; });
    }

    static std::optional<LocalSocketConnection> connectTo(const SingleInstance& instance) {
        const auto& socket = instance.address().socket();
        return socket.address ? LocalSocketConnection::connect(*socket.address) : std::nullopt;
    }

    QString lockPath() const { return directory + "/quorvane.lock"; }

    // Short, and named by neither the test nor the folder the tests run in.
    QTemporaryDir root{QDir::tempPath() + "/si-XXXXXX"};
    QString directory;
    int reopens = 0;
};

// The cases about reading clients, which do not depend on the kind of address.
class SingleInstanceClientTest : public SingleInstanceTest {
protected:
    Folder folder() const override { return Folder::short_; }
};

INSTANTIATE_TEST_SUITE_P(Folders, SingleInstanceTest,
                         testing::Values(Folder::short_, Folder::tooLong), [](const auto& info) {
                             return info.param == Folder::short_ ? "Short" : "TooLong";
                         });

TEST_P(SingleInstanceTest, LaterLaunchHandsReopenToTheFirst) {
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

TEST_F(SingleInstanceClientTest, OnlyWholeReopenLinesCount) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    countReopens(first);

    auto client = connectTo(first);
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

TEST_F(SingleInstanceClientTest, EndlessLineIsDropped) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    countReopens(first);

    auto flooder = connectTo(first);
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

TEST_F(SingleInstanceClientTest, SocketFileIsForTheUserAlone) {
    SingleInstance first(directory);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::primary);
    const auto& address = first.address().socket().address;
    ASSERT_TRUE(address);
    if (address->isAbstract()) {
        GTEST_SKIP() << "the temporary folder's path is too long for a socket file";
    }
    const QFileInfo socket(QString::fromStdString(address->path()));
    ASSERT_TRUE(socket.exists());
    EXPECT_TRUE(socket.permissions() & QFileDevice::WriteOwner);
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_FALSE(socket.permissions() & others);
}

// Another user's folder, or a link, could hand them the lock or the socket's name: the copy keeps
// out of it. A folder of ours that others may enter is closed to them.
TEST_F(SingleInstanceClientTest, KeepsItsLockOnlyInAFolderOfTheUsersOwn) {
    const QString foreign = directory + "/foreign";
    const QString link = directory + "/link";
    ASSERT_TRUE(QDir().mkpath(foreign));
    ASSERT_TRUE(QFile::link(foreign, link));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
    }
    for (const QString& refused : root ? QStringList{foreign, link} : QStringList{link}) {
        test::LogCapture log;
        SingleInstance instance(refused);
        ASSERT_EQ(instance.acquire(), SingleInstance::Role::primary) << refused.toStdString();
        EXPECT_FALSE(QFileInfo::exists(refused + "/quorvane.lock")) << refused.toStdString();
        EXPECT_NE(instance.address().directory(), refused.toStdString());
        const auto messages = log.messages("app");
        EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [](const auto& message) {
            return message.find("is not a folder of this user's own") != std::string::npos;
        })) << testing::PrintToString(messages);
    }

    const QString open = directory + "/open";
    ASSERT_TRUE(QDir().mkpath(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    SingleInstance instance(open);
    ASSERT_EQ(instance.acquire(), SingleInstance::Role::primary);
    EXPECT_TRUE(QFileInfo::exists(open + "/quorvane.lock"));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(open).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_P(SingleInstanceTest, LockAndSocketLeftByACrashedRunAreCleared) {
    const InstanceAddress address(directory.toStdString());
    ASSERT_TRUE(address.socket().address);

    // A run that dies holding the lock and leaving its socket (and, at a path, its file) behind.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* lock = new QLockFile(lockPath());
        const bool locked = lock->tryLock(0);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const auto& socket = *address.socket().address;
        const bool bound = ::bind(fd, socket.data(), socket.size()) == 0;
        ::listen(fd, 1);
        _exit(locked && bound ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFileInfo::exists(lockPath()));

    SingleInstance next(directory);
    ASSERT_EQ(next.acquire(), SingleInstance::Role::primary);
    countReopens(next);
    SingleInstance later(directory);
    EXPECT_EQ(later.acquire(1s), SingleInstance::Role::handedOver);
    EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 1; }));
}

TEST_P(SingleInstanceTest, LiveHolderThatDoesNotAnswerIsUnreachable) {
    QLockFile holder(lockPath());
    holder.setStaleLockTime(0);
    ASSERT_TRUE(holder.tryLock(0));

    SingleInstance second(directory);
    auto acquiring = std::async(std::launch::async, [&] { return second.acquire(300ms); });
    if (acquiring.wait_for(3s) == std::future_status::ready) {
        EXPECT_EQ(acquiring.get(), SingleInstance::Role::unreachable);
        return;
    }
    ADD_FAILURE() << "the launch waited far past its patience";
    // Someone answers at last, so that a launch that never gives up still ends.
    LocalSocketServer late;
    ASSERT_FALSE(late.listen(*second.address().socket().address));
    acquiring.wait();
}

// A lock that names no holder, as an interrupted write or another program leaves it: no copy
// could ever have written it, so nothing would clear it until log-out.
TEST_P(SingleInstanceTest, UnreadableLockThatNobodyAnswersForIsTaken) {
    for (const std::string& contents :
         {std::string(), std::string("not a lock\n"), std::string("\x01\x02\x03", 3)}) {
        SCOPED_TRACE(testing::PrintToString(contents));
        QFile file(lockPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
        file.close();

        reopens = 0;
        SingleInstance first(directory);
        ASSERT_EQ(first.acquire(300ms), SingleInstance::Role::primary);
        countReopens(first);
        SingleInstance second(directory);
        EXPECT_EQ(second.acquire(1s), SingleInstance::Role::handedOver);
        EXPECT_TRUE(test::ViewTestState::waitUntil([&] { return reopens == 1; }));
    }
}

// A live copy keeps its lock file locked, so even when the file's contents are lost the lock is
// not taken from it.
TEST_F(SingleInstanceClientTest, UnreadableLockOfALiveHolderIsKept) {
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile holder(lockPath());
        holder.setStaleLockTime(0);
        const char locked = holder.tryLock(0) ? 'y' : 'n';
        [[maybe_unused]] auto written = ::write(ready[1], &locked, 1);
        char done = 0;
        [[maybe_unused]] auto read = ::read(release[0], &done, 1);
        _exit(0);
    }
    char locked = 0;
    ASSERT_EQ(::read(ready[0], &locked, 1), 1);
    ASSERT_EQ(locked, 'y');
    ASSERT_EQ(::truncate(QFile::encodeName(lockPath()).constData(), 0), 0);

    SingleInstance second(directory);
    EXPECT_EQ(second.acquire(300ms), SingleInstance::Role::unreachable);
    EXPECT_TRUE(QFileInfo::exists(lockPath()));

    ASSERT_EQ(::write(release[1], "x", 1), 1);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    for (const int end : {ready[0], ready[1], release[0], release[1]}) {
        ::close(end);
    }
}

TEST_P(SingleInstanceTest, FailureToListenIsLoggedWithItsReason) {
    const InstanceAddress address(directory.toStdString());
    ASSERT_TRUE(address.socket().address);
    const auto& socket = *address.socket().address;
    // Something in the socket's place that listening cannot replace: a folder at the path, or
    // another socket at the abstract name.
    const int squatter = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket.isAbstract()) {
        ASSERT_EQ(::bind(squatter, socket.data(), socket.size()), 0);
    } else {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(socket.path()) + "/occupied"));
    }
    test::LogCapture log;

    SingleInstance first(directory);
    EXPECT_EQ(first.acquire(), SingleInstance::Role::primary);
    ::close(squatter);

    const auto messages = log.messages("app");
    const bool logged = std::any_of(messages.begin(), messages.end(), [&](const auto& message) {
        return message.find("cannot listen at " + socket.describe()) != std::string::npos &&
               message.find(std::make_error_code(std::errc::address_in_use).message()) !=
                   std::string::npos;
    });
    EXPECT_TRUE(logged) << testing::PrintToString(messages);
}

} // namespace
} // namespace quorvane
