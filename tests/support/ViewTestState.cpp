#include "support/ViewTestState.h"

#include "state/SettingsStore.h"
#include "support/AppStateBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace quorvane::test {

namespace fs = std::filesystem;

// What the loopback provider answers; shared with the server thread.
struct ReplyPlan {
    std::mutex mutex;
    std::condition_variable released;
    std::string content = "Enhanced.";
    int status = 200;
    bool stalled = false;
};

namespace {

fs::path makeDirectory() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name()
                            : std::string("outside-test");
    std::replace(name.begin(), name.end(), '/', '_');
    const auto dir = fs::path(std::getenv("TMPDIR")) / "views" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string chatBody(const std::string& content) {
    return nlohmann::json{
        {"choices", {{{"message", {{"role", "assistant"}, {"content", content}}}}}}}
        .dump();
}

std::string errorBody(const std::string& message) {
    return nlohmann::json{{"error", {{"message", message}}}}.dump();
}

} // namespace

ViewTestState::ViewTestState()
    : dir_(makeDirectory())
    , defaults_(dir_ / "defaults.json")
    , keys_(dir_ / "keys")
    , plan_(std::make_shared<ReplyPlan>()) {
    server_.post("/v1/chat/completions",
                 [plan = plan_, this](const httplib::Request&, httplib::Response& response) {
                     std::unique_lock lock(plan->mutex);
                     if (plan->stalled) {
                         // Gives up when the server stops, so the fixture's end never waits on a
                         // test.
                         while (plan->stalled) {
                             lock.unlock();
                             if (server_.waitUntilStopped(std::chrono::milliseconds(20))) {
                                 return;
                             }
                             lock.lock();
                         }
                     }
                     response.status = plan->status;
                     response.set_content(plan->status == 200 ? chatBody(plan->content)
                                                              : errorBody(plan->content),
                                          "application/json");
                 });
    server_.get("/v1/models", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"data":[{"id":"test-model"},{"id":"other-model"}]})",
                             "application/json");
    });
    defaults_.setString(SettingsKey::activeProvider, "custom");
    defaults_.setString(SettingsKey::activeModel, "test-model");
    defaults_.setString(SettingsKey::customBaseURL, server_.baseUrl() + "/v1");
    keys_.setKey("sk-test", ProviderID::custom);
}

ViewTestState::~ViewTestState() {
    release();
    state_.reset();
}

AppState& ViewTestState::state() {
    if (!state_) {
        state_ = AppStateBuilder{defaults_, keys_, queue_, pasteboard_, dir_}.build();
    }
    return *state_;
}

void ViewTestState::replyAlways(const std::string& content) {
    std::lock_guard lock(plan_->mutex);
    plan_->content = content;
    plan_->status = 200;
}

void ViewTestState::stallReplies() {
    std::lock_guard lock(plan_->mutex);
    plan_->stalled = true;
}

void ViewTestState::release() {
    std::lock_guard lock(plan_->mutex);
    plan_->stalled = false;
}

void ViewTestState::failWith(int status, const std::string& message) {
    std::lock_guard lock(plan_->mutex);
    plan_->status = status;
    plan_->content = message;
}

testing::AssertionResult ViewTestState::waitUntil(const std::function<bool()>& done,
                                                  std::chrono::milliseconds patience) {
    return qtWaitUntil(done, patience);
}

void ViewTestState::processEvents() {
    for (int turn = 0; turn < 3; ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

} // namespace quorvane::test
