#pragma once

#include "MainQueue.h"

#include <QObject>

namespace quorvane {

// The main queue of a Qt application: work is posted as a queued call on an object that lives in
// the main thread, so it runs from the event loop in posting order. Work still pending when the
// queue is destroyed is dropped.
class QtMainQueue final : public MainQueue {
public:
    // Needs the application object; may be made on any thread.
    QtMainQueue();

    void post(std::function<void()> work) override;

private:
    QObject context_;
};

} // namespace quorvane
