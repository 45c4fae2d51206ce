// The panel header in its panel over a test state, and its preset menu read as the user reads it.
// The tests of the header, of the preset menu and of the menu's rows share it: the menu and its
// rows are looked at as the header shows them, re-read when the panel refreshes.
#pragma once

#include "support/ViewTestState.h"
#include "ui/panel/PanelHeader.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/PresetMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::test {

// One menu entry as the user reads it: separators keep their section title.
struct PresetMenuItem {
    std::string text;
    bool separator = false;
    bool checked = false;
    bool customized = false;

    bool operator==(const PresetMenuItem&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const PresetMenuItem& item) {
    return out << (item.separator ? "---" : "") << item.text << (item.checked ? " [x]" : "")
               << (item.customized ? " (customized)" : "");
}

inline const std::vector<std::string> builtInPresetNames = {
    "General", "Code", "Image gen", "Writing", "Video", "Content", "Analysis"};

class PanelHeaderFixture : public testing::Test {
protected:
    void SetUp() override { header_.show(); }

    AppState& state() { return fixture_.state(); }

    std::vector<PresetMenuItem> menuItems() {
        header_.presetMenu()->rebuildMenu();
        std::vector<PresetMenuItem> items;
        for (QAction* action : header_.presetMenu()->menu()->actions()) {
            // A built-in row draws its own checkmark for a checked action; a custom row shows
            // the checkmark symbol as its icon.
            const bool marked =
                action->isCheckable() ? action->isChecked() : !action->icon().isNull();
            items.push_back({action->text().toStdString(), action->isSeparator(), marked,
                             action->property("customized").toBool()});
        }
        return items;
    }

    QAction* menuAction(const QString& text) {
        header_.presetMenu()->rebuildMenu();
        for (QAction* action : header_.presetMenu()->menu()->actions()) {
            if (!action->isSeparator() && action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }

    std::vector<std::string> checkedItems() {
        std::vector<std::string> checked;
        for (const PresetMenuItem& item : menuItems()) {
            if (item.checked) {
                checked.push_back(item.text);
            }
        }
        return checked;
    }

    ViewTestState fixture_;
    int closes_ = 0;
    PopoverView panel_{fixture_.state(), [this] { ++closes_; }};
    PanelHeader header_{panel_};
};

} // namespace quorvane::test
