#include "platform/termination/TerminationSignals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <vector>

namespace quorvane {
namespace {

void (*currentHandler(int signalNumber))(int) {
    struct sigaction action {};
    sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

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

TEST(TerminationSignalsTest, EachSignalBecomesOneRequestOnTheEventLoop) {
    TerminationSignals watcher;
    ASSERT_TRUE(watcher.isInstalled());
    EXPECT_EQ(receivedAfterRaising(watcher, {SIGTERM, SIGINT, SIGHUP}),
              (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
}

TEST(TerminationSignalsTest, DefaultActionsComeBackAndOnlyOneWatcherHoldsTheSignals) {
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
    EXPECT_EQ(receivedAfterRaising(again, {SIGTERM}), std::vector<int>{SIGTERM});
}

// Started under nohup, or in the background by a script, the program inherits SIGHUP or SIGINT
// ignored; catching it anyway would let the hang-up or the terminal's Ctrl+C end the program
// the caller asked to be left alone.
TEST(TerminationSignalsTest, ASignalIgnoredAtStartStaysIgnored) {
    signal(SIGHUP, SIG_IGN);
    {
        TerminationSignals watcher;
        ASSERT_TRUE(watcher.isInstalled());
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
