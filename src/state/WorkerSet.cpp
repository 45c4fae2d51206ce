#include "WorkerSet.h"

#include <utility>

namespace quorvane {

WorkerSet::~WorkerSet() {
    stopAndJoin();
}

void WorkerSet::start(std::stop_token linked, Work work) {
    reapFinished();
    auto worker = std::make_unique<Worker>();
    worker->thread =
        std::jthread([work = std::move(work), finished = worker->finished](std::stop_token stop) {
            work(stop);
            finished->store(true, std::memory_order_release);
        });
    worker->link.emplace(std::move(linked), [source = worker->thread.get_stop_source()]() mutable {
        source.request_stop();
    });
    workers_.push_back(std::move(worker));
}

void WorkerSet::stopAndJoin() {
    for (auto& worker : workers_) {
        worker->thread.request_stop();
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
