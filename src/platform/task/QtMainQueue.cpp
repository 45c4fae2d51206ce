#include "QtMainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <utility>

namespace quorvane {

QtMainQueue::QtMainQueue() {
    if (auto* application = QCoreApplication::instance()) {
        context_.moveToThread(application->thread());
    }
}

void QtMainQueue::post(std::function<void()> work) {
    // Queued even on the main thread: callers rely on the work running after they return.
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

} // namespace quorvane
