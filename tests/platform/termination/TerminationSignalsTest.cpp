#include "platform/termination/TerminationSignals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <array>
#include <vector>

namespace quorvane {
namespace {

void (*currentHandler(int signalNumber))(int) {
    struct sigaction action {};
    sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

// Every case starts from the default actions, as a desktop session starts the program, even
// when the tests themselves were started with a signal ignored (nohup, a background job).
class TerminationSignalsTest : public testing::Test {
protected:
    void SetUp() override {
        for (std::size_t i = 0; i < handled.size(); ++i) {
            struct sigaction byDefault {};
            byDefault.sa_handler = SIG_DFL;
            sigaction(handled[i], &byDefault, &inherited[i]);
        }
    }
    void TearDown() override {
        for (std::size_t i = 0; i < handled.size(); ++i) {
            sigaction(handled[i], &inherited[i], nullptr);
        }
    }

    static constexpr std::array<int, 3> handled{SIGTERM, SIGINT, SIGHUP};
    std::array<struct sigaction, 3> inherited{};
};

std::vector<int> receivedAfterRaising(TerminationSignals& watcher, std::vector<int> raised) {
    std::vector<int> received;
    QObject::connect(&watcher, &TerminationSignals::terminationRequested,
                     [&](int signalNumber) { received.push_back(signalNumber); });
    for (const int signalNumber : raised) {
        raise(signalNumber);
    }
    QElapsedTimer timer;
    timer.start();
    while (received.size() < raised.size() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return received;
}

// Start-up may wait on anything before the event loop runs, and nothing reads the requests
// yet: a signal then ends the process as its default action does.
TEST_F(TerminationSignalsTest, BeforeTheEventLoopASignalEndsTheProcessAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_EXIT(
            {
                TerminationSignals watcher;
                if (!watcher.isInstalled()) {
                    _exit(2);
                }
                raise(signalNumber);
                _exit(0);
            },
            testing::KilledBySignal(signalNumber), "")
            << signalNumber;
    }
}

TEST_F(TerminationSignalsTest, EachSignalBecomesOneRequestOnTheEventLoop) {
    TerminationSignals watcher;
    ASSERT_TRUE(watcher.isInstalled());
    watcher.forwardToEventLoop();
    EXPECT_EQ(receivedAfterRaising(watcher, {SIGTERM, SIGINT, SIGHUP}),
              (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
}

TEST_F(TerminationSignalsTest, DefaultActionsComeBackAndOnlyOneWatcherHoldsTheSignals) {
    {
        TerminationSignals first;
        TerminationSignals second;
        EXPECT_TRUE(first.isInstalled());
        EXPECT_FALSE(second.isInstalled());
        EXPECT_NE(currentHandler(SIGTERM), SIG_DFL);
    }
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_EQ(currentHandler(signalNumber), SIG_DFL) << signalNumber;
    }
    // A new watcher after the old one is gone works again.
    TerminationSignals again;
    again.forwardToEventLoop();
    EXPECT_EQ(receivedAfterRaising(again, {SIGTERM}), std::vector<int>{SIGTERM});
}

// Started under nohup, or in the background by a script, the program inherits SIGHUP or SIGINT
// ignored; catching it anyway would let the hang-up or the terminal's Ctrl+C end the program
// the caller asked to be left alone.
TEST_F(TerminationSignalsTest, ASignalIgnoredAtStartStaysIgnored) {
    signal(SIGHUP, SIG_IGN);
    {
        TerminationSignals watcher;
        ASSERT_TRUE(watcher.isInstalled());
        watcher.forwardToEventLoop();
        EXPECT_EQ(currentHandler(SIGHUP), SIG_IGN);
        std::vector<int> received;
        QObject::connect(&watcher, &TerminationSignals::terminationRequested,
                         [&](int signalNumber) { received.push_back(signalNumber); });
        raise(SIGHUP);
        raise(SIGTERM);
        // The pipe keeps the order, so a caught hang-up would come before the SIGTERM.
        QElapsedTimer timer;
        timer.start();
        while ((received.empty() || received.back() != SIGTERM) && timer.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_EQ(received, std::vector<int>{SIGTERM});
    }
    EXPECT_EQ(currentHandler(SIGHUP), SIG_IGN);
    EXPECT_EQ(currentHandler(SIGTERM), SIG_DFL);
    signal(SIGHUP, SIG_DFL);
}

} // namespace
} // namespace quorvane
