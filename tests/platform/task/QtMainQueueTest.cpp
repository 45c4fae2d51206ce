#include "platform/task/QtMainQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

void processUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

TEST(QtMainQueue, RunsWorkFromOtherThreadsOnTheMainThreadInPostingOrder) {
    QtMainQueue queue;
    std::vector<int> order;
    std::vector<bool> onMainThread;
    // Posted by one worker, so that its posting order is defined.
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            queue.post([&, i] {
                order.push_back(i);
                onMainThread.push_back(QThread::currentThread() ==
                                       QCoreApplication::instance()->thread());
            });
        }
    });
    worker.join();
    processUntil([&] { return order.size() == 100; });

    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(order[i], i);
        EXPECT_TRUE(onMainThread[i]);
    }
}

TEST(QtMainQueue, WorkPostedOnTheMainThreadRunsLaterNotDuringPost) {
    QtMainQueue queue;
    bool ran = false;
    queue.post([&] { ran = true; });
    EXPECT_FALSE(ran);
    processUntil([&] { return ran; });
    EXPECT_TRUE(ran);
}

TEST(QtMainQueue, AQueueMadeOnAWorkerStillRunsOnTheMainThread) {
    std::unique_ptr<QtMainQueue> queue;
    std::thread([&] { queue = std::make_unique<QtMainQueue>(); }).join();
    bool onMainThread = false;
    bool ran = false;
    queue->post([&] {
        ran = true;
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    processUntil([&] { return ran; });
    EXPECT_TRUE(onMainThread);
}

TEST(QtMainQueue, WorkPendingWhenTheQueueGoesIsDropped) {
    bool ran = false;
    {
        QtMainQueue queue;
        queue.post([&] { ran = true; });
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace quorvane
