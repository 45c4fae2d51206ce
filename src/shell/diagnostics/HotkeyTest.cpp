#include "HotkeyTest.h"

#include "ReportWriter.h"
#include "platform/defaults/UserDefaults.h"
#include "state/HotkeySuggestions.h"
#include "state/KeyEvent.h"
#include "state/SettingsStore.h"

#include <algorithm>
#include <string>

namespace quorvane {

namespace {

std::optional<HotkeyConfig> fromKeyPress(std::uint64_t modifierFlags) {
    return HotkeyConfig::fromEvent(KeyEvent{
        .keyCode = 15, .modifierFlags = modifierFlags, .charactersIgnoringModifiers = "r"});
}

bool suggestionsValid() {
    const auto& items = HotkeySuggestions::items();
    return std::all_of(items.begin(), items.end(), [](const HotkeySuggestions::Item& item) {
        return item.config.carbonModifiers != 0;
    });
}

} // namespace

void HotkeyTest::run(const DiagnosticContext& context) {
    const auto suite = UserDefaults::suite("thrim-hotkeytest");
    suite->removePersistentDomain();
    SettingsStore settings(*suite);

    const HotkeyConfig fallback = settings.hotkey();
    const bool defaultIsCmdShiftE =
        fallback.keyCode == 14 && fallback.carbonModifiers == 0x300 && fallback.keyLabel == "E";
    const HotkeyConfig custom{.keyCode = 2, .carbonModifiers = 0x1800, .keyLabel = "D"};
    settings.setHotkey(custom);
    const HotkeyConfig readBack = settings.hotkey();

    const auto bare = fromKeyPress(0);
    const auto modified = fromKeyPress(ModifierFlag::command | ModifierFlag::shift);

    ReportWriter::write(
        "HOTKEY default=" + fallback.displayString() +
        " defaultIsCmdShiftE=" + ReportWriter::boolean(defaultIsCmdShiftE) + " roundTrip=" +
        ReportWriter::boolean(readBack == custom) + " customDisplay=" + readBack.displayString() +
        " suggestions=5" + " suggestionsValid=" + ReportWriter::boolean(suggestionsValid()) +
        " bareRejected=" + ReportWriter::boolean(!bare.has_value()) +
        " modifiedParsed=" + (modified ? modified->displayString() : std::string("nil")) + "\n");
    suite->removePersistentDomain();
    context.terminate();
}

} // namespace quorvane
