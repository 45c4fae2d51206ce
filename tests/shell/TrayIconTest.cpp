#include "shell/TrayIcon.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QSystemTrayIcon>

#include <vector>

namespace quorvane {
namespace {

TEST(TrayIcon, AClickOrADoubleClickReopensOnce) {
    using Reason = QSystemTrayIcon::ActivationReason;
    struct Row {
        const char* name;
        std::vector<Reason> reasons;
        int reopens;
    };
    // What Qt reports for each gesture on the icon.
    const Row rows[] = {
        {"click", {QSystemTrayIcon::Trigger}, 1},
        {"double-click", {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}, 1},
        {"middle click", {QSystemTrayIcon::MiddleClick}, 0},
        {"context menu", {QSystemTrayIcon::Context}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int reopens = 0;
        TrayIcon tray({[] { return new QMenu; }, [&] { ++reopens; }});
        for (const Reason reason : row.reasons) {
            emit tray.systemTrayIcon()->activated(reason);
        }
        EXPECT_EQ(reopens, row.reopens);
    }
}

} // namespace
} // namespace quorvane
