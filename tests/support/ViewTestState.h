// An AppState for view tests: its own defaults file and key store in a fresh
// directory under TMPDIR, the Qt main queue, an in-memory pasteboard, and the
// custom provider pointed at a loopback server that the fixture starts.
#pragma once

#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/InMemoryPasteboard.h"
#include "platform/task/QtMainQueue.h"
#include "state/AppState.h"
#include "support/LoopbackServer.h"
#include "support/QtWaitUntil.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace quorvane::test {

class ViewTestState {
public:
    // The directory is named after the running gtest case.
    ViewTestState();
    ~ViewTestState();

    ViewTestState(const ViewTestState&) = delete;
    ViewTestState& operator=(const ViewTestState&) = delete;

    // Built on first use, so a test can seed the defaults and keys before.
    AppState& state();

    UserDefaults& defaults() { return defaults_; }
    KeyStore& keys() { return keys_; }
    InMemoryPasteboard& pasteboard() { return pasteboard_; }
    LoopbackServer& server() { return server_; }
    const std::filesystem::path& directory() const { return dir_; }

    // Chat replies of the loopback provider: this content ("Enhanced." until set).
    void replyAlways(const std::string& content);
    // From now on each request waits until release() (or the fixture's end) before answering.
    void stallReplies();
    void release();
    // A reply with this HTTP status and an OpenAI-style error body instead.
    void failWith(int status, const std::string& message);

    // Runs the Qt event loop until the condition holds; a failure once the patience has passed.
    static testing::AssertionResult waitUntil(const std::function<bool()>& done,
                                              std::chrono::milliseconds patience = defaultPatience);
    // Lets queued work and coalesced re-reads run.
    static void processEvents();

private:
    std::filesystem::path dir_;
    UserDefaults defaults_;
    KeyStore keys_;
    InMemoryPasteboard pasteboard_;
    QtMainQueue queue_;
    LoopbackServer server_;
    std::shared_ptr<struct ReplyPlan> plan_;
    std::unique_ptr<AppState> state_;
};

} // namespace quorvane::test
