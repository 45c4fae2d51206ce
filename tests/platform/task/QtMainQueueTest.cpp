#include "platform/task/QtMainQueue.h"

#include "support/QtWaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

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
    ASSERT_TRUE(test::qtWaitUntil([&] { return order.size() == 100; }))
        << order.size() << " of 100 ran";

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
    EXPECT_TRUE(test::qtWaitUntil([&] { return ran; }));
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
    ASSERT_TRUE(test::qtWaitUntil([&] { return ran; }));
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
