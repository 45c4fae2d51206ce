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

} // namespace
} // namespace quorvane
