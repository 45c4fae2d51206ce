// Launches the real program on the offscreen platform, with its home, XDG directories and
// runtime directory in a private temporary directory.
#include "platform/localsocket/LocalSocketConnection.h"
#include "shell/InstanceAddress.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <string>

namespace quorvane {
namespace {

class QuorvaneAppProcessTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (const auto& [name, folder] : {std::pair{"HOME", "home"},
                                           {"XDG_CONFIG_HOME", "config"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"XDG_CACHE_HOME", "cache"},
                                           {"XDG_STATE_HOME", "state"},
                                           {"XDG_RUNTIME_DIR", "run"},
                                           {"TMPDIR", "tmp"}}) {
            const QString path = root.path() + "/" + folder;
            makePrivateFolder(path);
            environment.insert(name, path);
        }
        environment.remove("THRIM_SELFTEST");
        environment.remove("SENTRY_DSN");
    }

    void TearDown() override {
        for (auto* process : {&first, &second}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    static void makePrivateFolder(const QString& path) {
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }

    void start(QProcess& process, const QStringList& arguments = {}) {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(QUORVANE_APP_PATH), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    InstanceAddress address() const {
        return InstanceAddress(environment.value("XDG_RUNTIME_DIR").toStdString());
    }

    // Whether a copy listens; the probe sends nothing, so it toggles nothing.
    bool listening() const {
        const auto socket = address().socket();
        return socket.address && LocalSocketConnection::connect(*socket.address).has_value();
    }

    bool waitUntilListening() {
        for (int i = 0; i < 300 && first.state() == QProcess::Running; ++i) {
            if (listening()) {
                return true;
            }
            first.waitForFinished(50);
        }
        return false;
    }

    // Whether the first copy's event loop runs: only from there does it drop a client that
    // sends a line longer than any it accepts.
    bool waitUntilServing() {
        const auto socket = address().socket();
        auto client =
            socket.address ? LocalSocketConnection::connect(*socket.address) : std::nullopt;
        if (!client || !client->writeAll(std::string(1024, 'x'), std::chrono::seconds(1))) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        std::string ignored;
        while (timer.elapsed() < 20000) {
            if (client->readAvailable(ignored) == LocalSocketConnection::ReadStatus::closed) {
                return true;
            }
            first.waitForFinished(10);
        }
        return false;
    }

    // A second launch that hands over: it ends well within its patience, with status 0.
    void expectHandOver() {
        start(second);
        ASSERT_TRUE(second.waitForFinished(20000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(first.state(), QProcess::Running);
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
    QProcess first;
    QProcess second;
};

TEST_F(QuorvaneAppProcessTest, SecondLaunchHandsOverAndExitsZero) {
    start(first);
    ASSERT_TRUE(waitUntilListening());
    expectHandOver();
}

// The hand-over happens before the program loads Qt: a launch that cannot reach any display
// still hands over, where building the application would have failed.
TEST_F(QuorvaneAppProcessTest, HandOverNeedsNoWindowSystem) {
    start(first);
    ASSERT_TRUE(waitUntilListening());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    expectHandOver();
}

TEST_F(QuorvaneAppProcessTest, RuntimeFolderTooLongForASocketPathStillHandsOver) {
    const QString runtime = root.path() + "/" + QString(120, 'r');
    makePrivateFolder(runtime);
    environment.insert("XDG_RUNTIME_DIR", runtime);
    start(first);
    ASSERT_TRUE(waitUntilListening());
    expectHandOver();
}

TEST_F(QuorvaneAppProcessTest, EmptyLockFileDoesNotBlockTheLaunch) {
    QFile lock(QString::fromStdString(address().lockFilePath()));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();

    start(first);
    ASSERT_TRUE(waitUntilListening()) << "the launch gave up on the empty lock";
    expectHandOver();
}

TEST_F(QuorvaneAppProcessTest, LaunchAfterACrashTakesOver) {
    start(first);
    ASSERT_TRUE(waitUntilListening());
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(address().lockFilePath())));

    // The new launch finds the dead run's lock and keeps running as the one copy.
    start(first);
    ASSERT_TRUE(waitUntilListening());
    EXPECT_FALSE(first.waitForFinished(1000));
    expectHandOver();
}

TEST_F(QuorvaneAppProcessTest, TerminationSignalQuitsInOrderAndReleasesTheLock) {
    start(first);
    ASSERT_TRUE(waitUntilListening());
    ASSERT_TRUE(waitUntilServing());
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(address().lockFilePath())));
    EXPECT_FALSE(listening());
}

// A session bus that takes the connection and never answers holds start-up before the event loop;
// log-out's SIGTERM still ends the process, and the next launch is not locked out.
TEST_F(QuorvaneAppProcessTest, TerminationDuringStartUpEndsTheProcessAtOnce) {
    const std::string bus = (environment.value("XDG_RUNTIME_DIR") + "/silent-bus").toStdString();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    ASSERT_LT(bus.size(), sizeof name.sun_path);
    bus.copy(name.sun_path, bus.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&name), sizeof name), 0);
    // The backlog takes the connection; nothing ever reads from it.
    ASSERT_EQ(::listen(listener, 8), 0);
    environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString("unix:path=" + bus));
    start(first);
    ASSERT_TRUE(waitUntilListening());

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(5000)) << "SIGTERM did not end the waiting start-up";
    EXPECT_EQ(first.exitStatus(), QProcess::CrashExit);
    ::close(listener);

    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    start(first);
    ASSERT_TRUE(waitUntilListening());
    EXPECT_FALSE(first.waitForFinished(1000));
}

TEST_F(QuorvaneAppProcessTest, DiagnosticModeRunsInItsOwnProcessBesideTheFirst) {
    start(first);
    ASSERT_TRUE(waitUntilListening());

    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(QUORVANE_APP_PATH), {QStringLiteral("--menuprobe")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    const auto report = QString::fromUtf8(second.readAllStandardError());
    EXPECT_TRUE(report.contains("MENU items=Open Quorvane|Settings…|Check for Updates…|---|Quit "
                                "Quorvane count=5"))
        << report.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
}

} // namespace
} // namespace quorvane
