#include "shell/StartUpWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <QDBusConnection>

#include <utility>

namespace quorvane {

// FcInit builds the process-wide configuration that every later call takes. A caller that comes
// while it loads builds its own and drops it, so one that does not wait is still safe, only slower.
void StartUpWarmUp::loadFontConfiguration() {
    FcInit();
}

void StartUpWarmUp::connectSessionBus() {
    QDBusConnection::sessionBus();
}

StartUpWarmUp::StartUpWarmUp(std::function<void()> work)
    : worker_(std::move(work)) {}

StartUpWarmUp::~StartUpWarmUp() {
    wait();
}

void StartUpWarmUp::wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

} // namespace quorvane
