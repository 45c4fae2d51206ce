#include "TaskSlot.h"

namespace quorvane {

TaskSlot::Flow TaskSlot::start() {
    cancel();
    current_.emplace();
    return Flow{++nextId_, current_->get_token()};
}

TaskSlot::Flow TaskSlot::detached() {
    return Flow{++nextId_, std::stop_token()};
}

void TaskSlot::cancel() {
    if (current_) {
        current_->request_stop();
        current_.reset();
    }
}

} // namespace quorvane
