// Launches the real program on the offscreen platform, with its home, XDG directories and
// runtime directory in a private temporary directory.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <csignal>

namespace quorvane {
namespace {

class QuorvaneAppProcessTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                 "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"}) {
            const QString path = root.path() + "/" + name;
            QDir().mkpath(path);
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
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

    void start(QProcess& process, const QStringList& arguments = {}) {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(QUORVANE_APP_PATH), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // The first copy is ready once its socket exists.
    bool waitUntilListening() {
        const QString socket = environment.value("XDG_RUNTIME_DIR") + "/quorvane.socket";
        for (int i = 0; i < 300 && first.state() == QProcess::Running; ++i) {
            if (QFileInfo::exists(socket)) {
                return true;
            }
            first.waitForFinished(50);
        }
        return false;
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
    QProcess first;
    QProcess second;
};

TEST_F(QuorvaneAppProcessTest, SecondLaunchHandsOverAndExitsZero) {
    start(first);
    ASSERT_TRUE(waitUntilListening());

    start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(QuorvaneAppProcessTest, LaunchAfterACrashTakesOver) {
    start(first);
    ASSERT_TRUE(waitUntilListening());
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_TRUE(QFileInfo::exists(environment.value("XDG_RUNTIME_DIR") + "/quorvane.lock"));

    // The new launch finds the dead run's lock and keeps running as the one copy.
    start(first);
    ASSERT_TRUE(waitUntilListening());
    EXPECT_FALSE(first.waitForFinished(1000));
    start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
}

TEST_F(QuorvaneAppProcessTest, TerminationSignalQuitsInOrderAndReleasesTheLock) {
    start(first);
    ASSERT_TRUE(waitUntilListening());
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    const QString runtime = environment.value("XDG_RUNTIME_DIR");
    EXPECT_FALSE(QFileInfo::exists(runtime + "/quorvane.lock"));
    EXPECT_FALSE(QFileInfo::exists(runtime + "/quorvane.socket"));
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
