// The AppState of the state and view tests: over the defaults file and key
// store the test owns, the test's main queue and pasteboard, and an
// os-release file of its own, so the diagnostics never describe the machine
// the tests run on.
#pragma once

#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/Pasteboard.h"
#include "platform/task/MainQueue.h"
#include "state/AppState.h"
#include "state/KeyStore.h"

#include <filesystem>
#include <memory>

namespace quorvane::test {

struct AppStateBuilder {
    // Holds the settings and history as well as the presets and shortcuts.
    UserDefaults& defaults;
    const KeyStore& keys;
    MainQueue& mainQueue;
    Pasteboard& pasteboard;
    // Gets the os-release file, which names "Test OS 7 (tests)".
    std::filesystem::path directory;

    std::unique_ptr<AppState> build() const;
};

} // namespace quorvane::test
