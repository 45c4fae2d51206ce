#include "SystemLanguageModel.h"

#include "UnavailableLanguageModel.h"

#include <mutex>

namespace quorvane {

namespace {

// The one process-wide value; guarded because requests read it off the main thread.
struct DefaultModel {
    std::mutex mutex;
    std::shared_ptr<SystemLanguageModel> replacement;
};

DefaultModel& defaultModelSlot() {
    static DefaultModel slot;
    return slot;
}

std::shared_ptr<SystemLanguageModel> systemModel() {
    static const std::shared_ptr<SystemLanguageModel> model =
        std::make_shared<UnavailableLanguageModel>();
    return model;
}

} // namespace

std::shared_ptr<SystemLanguageModel> SystemLanguageModel::defaultModel() {
    auto& slot = defaultModelSlot();
    std::lock_guard lock(slot.mutex);
    return slot.replacement ? slot.replacement : systemModel();
}

void SystemLanguageModel::setDefaultForTesting(std::shared_ptr<SystemLanguageModel> model) {
    auto& slot = defaultModelSlot();
    std::lock_guard lock(slot.mutex);
    slot.replacement = std::move(model);
}

} // namespace quorvane
