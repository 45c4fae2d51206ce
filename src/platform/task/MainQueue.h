#pragma once

#include <functional>

namespace quorvane {

// The main thread's queue. The state object runs its flows' blocking steps on
// worker threads and comes back through post(); the shell gives a Qt
// implementation, tests a queue they drain themselves.
class MainQueue {
public:
    virtual ~MainQueue() = default;

    // Runs work on the main thread, later, in posting order. Safe from any thread.
    virtual void post(std::function<void()> work) = 0;
};

} // namespace quorvane
