#include "AppStateBuilder.h"

#include "state/HistoryStore.h"
#include "state/SettingsStore.h"

#include <fstream>

namespace quorvane::test {

std::unique_ptr<AppState> AppStateBuilder::build() const {
    const auto osRelease = directory / "os-release";
    // NAME is there to show that the pretty name wins.
    std::ofstream(osRelease) << "NAME=Ignored\nPRETTY_NAME=\"Test OS 7 (tests)\"\n";
    return std::make_unique<AppState>(HistoryStore(defaults), keys, SettingsStore(defaults),
                                      AppState::Services{.mainQueue = mainQueue,
                                                         .pasteboard = pasteboard,
                                                         .presetDefaults = defaults,
                                                         .osReleaseFile = osRelease});
}

} // namespace quorvane::test
