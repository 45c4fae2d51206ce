#pragma once

#include "platform/ondevice/SystemLanguageModel.h"

#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

namespace quorvane::test {

// An on-device model for tests: its availability and its answer are set by
// the test, and every session it opens and every prompt it gets is recorded.
// Install it with SystemLanguageModel::setDefaultForTesting(); it must outlive
// the sessions it makes.
class FakeLanguageModel final : public SystemLanguageModel {
public:
    // The answer to one prompt; may throw, as the real model does.
    using Responder = std::function<std::string(const std::string& prompt, std::stop_token stop)>;

    struct Call {
        std::string instructions;
        std::string prompt;
        GenerationOptions options;
    };

    void setAvailability(ModelAvailability availability);
    void respondWith(std::string content);
    void respondBy(Responder responder);

    std::vector<Call> calls() const;
    int sessionsMade() const;

    ModelAvailability availability() const override;
    std::unique_ptr<LanguageModelSession> makeSession(const std::string& instructions) override;

private:
    class Session;

    std::string answer(Call call, std::stop_token stop);

    mutable std::mutex mutex_;
    ModelAvailability availability_ = ModelAvailability::available();
    Responder responder_ = [](const std::string&, std::stop_token) { return std::string("ok"); };
    std::vector<Call> calls_;
    int sessionsMade_ = 0;
};

} // namespace quorvane::test
