// The worker threads of the state object's flows. Each piece of blocking work
// runs on a thread of its own under a stop token that is asked to stop when
// the flow's token is, or when the set goes away; the set joins every thread
// before it is destroyed, so no work outlives the object it was started for.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace quorvane {

class WorkerSet {
public:
    using Work = std::function<void(std::stop_token)>;

    WorkerSet() = default;
    ~WorkerSet();

    WorkerSet(const WorkerSet&) = delete;
    WorkerSet& operator=(const WorkerSet&) = delete;

    // Runs work on a new thread. Its token stops when `linked` stops (at once
    // when it already has) and when the set stops.
    void start(std::stop_token linked, Work work);

    // Asks every worker to stop and waits for all of them.
    void stopAndJoin();

    // Workers started and not yet found finished.
    std::size_t size() const { return workers_.size(); }

private:
    struct Worker {
        // Made before the thread, so the work's token is stopped before the work
        // begins when the linked token already has.
        std::stop_source stop;
        std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
        // The thread's own token is not the work's: its destructor stops that
        // one and joins, which is all it is kept for.
        std::jthread thread;
        // Declared after the thread, so it is gone before the thread is joined.
        std::optional<std::stop_callback<std::function<void()>>> link;
    };

    // Joins the threads whose work has ended, so a long run does not pile them up.
    void reapFinished();

    std::vector<std::unique_ptr<Worker>> workers_;
};

} // namespace quorvane
