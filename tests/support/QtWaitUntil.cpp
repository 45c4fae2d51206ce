#include "QtWaitUntil.h"

#include <QCoreApplication>
#include <QThread>

namespace quorvane::test {

void processQtEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
}

testing::AssertionResult qtWaitUntil(const std::function<bool()>& done,
                                     std::chrono::milliseconds patience) {
    return waitUntil(done, patience, processQtEvents);
}

} // namespace quorvane::test
