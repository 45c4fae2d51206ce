#include "WorkerSet.h"

#include <utility>

namespace quorvane {

WorkerSet::~WorkerSet() {
    stopAndJoin();
}

void WorkerSet::start(std::stop_token linked, Work work) {
    reapFinished();
    auto worker = std::make_unique<Worker>();
    // Linked first: a stop that has already happened reaches the source here, before the work
    // can look at its token.
    worker->link.emplace(std::move(linked),
                         [source = worker->stop]() mutable { source.request_stop(); });
    worker->thread = std::jthread(
        [work = std::move(work), stop = worker->stop.get_token(), finished = worker->finished] {
            work(stop);
            finished->store(true, std::memory_order_release);
        });
    workers_.push_back(std::move(worker));
}

void WorkerSet::stopAndJoin() {
    for (auto& worker : workers_) {
        worker->stop.request_stop();
    }
    for (auto& worker : workers_) {
        worker->link.reset();
        worker->thread.join();
    }
    workers_.clear();
}

void WorkerSet::reapFinished() {
    std::erase_if(workers_, [](const std::unique_ptr<Worker>& worker) {
        return worker->finished->load(std::memory_order_acquire);
    });
}

} // namespace quorvane
