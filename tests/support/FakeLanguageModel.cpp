#include "FakeLanguageModel.h"

namespace quorvane::test {

class FakeLanguageModel::Session final : public LanguageModelSession {
public:
    Session(FakeLanguageModel& model, std::string instructions)
        : model_(model)
        , instructions_(std::move(instructions)) {}

    std::string respond(const std::string& prompt, const GenerationOptions& options,
                        std::stop_token stop) override {
        return model_.answer({instructions_, prompt, options}, std::move(stop));
    }

private:
    FakeLanguageModel& model_;
    std::string instructions_;
};

void FakeLanguageModel::setAvailability(ModelAvailability availability) {
    std::lock_guard lock(mutex_);
    availability_ = availability;
}

void FakeLanguageModel::respondWith(std::string content) {
    respondBy(
        [content = std::move(content)](const std::string&, std::stop_token) { return content; });
}

void FakeLanguageModel::respondBy(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

std::vector<FakeLanguageModel::Call> FakeLanguageModel::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

int FakeLanguageModel::sessionsMade() const {
    std::lock_guard lock(mutex_);
    return sessionsMade_;
}

ModelAvailability FakeLanguageModel::availability() const {
    std::lock_guard lock(mutex_);
    return availability_;
}

std::unique_ptr<LanguageModelSession>
FakeLanguageModel::makeSession(const std::string& instructions) {
    std::lock_guard lock(mutex_);
    ++sessionsMade_;
    return std::make_unique<Session>(*this, instructions);
}

std::string FakeLanguageModel::answer(Call call, std::stop_token stop) {
    Responder responder;
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        responder = responder_;
    }
    // Called unlocked so a responder may wait for cancellation.
    return responder(call.prompt, std::move(stop));
}

} // namespace quorvane::test
