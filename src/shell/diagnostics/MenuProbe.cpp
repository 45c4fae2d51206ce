#include "MenuProbe.h"

#include "ReportWriter.h"

#include <QAction>
#include <QMenu>

#include <memory>
#include <string>

namespace quorvane {

void MenuProbe::run(const DiagnosticContext& context) {
    const std::unique_ptr<QMenu> menu(context.makeDockMenu());
    std::string titles;
    int count = 0;
    bool quitWired = false;
    bool hasSeparator = false;
    for (const QAction* action : menu->actions()) {
        const std::string title = action->isSeparator() ? "---" : action->text().toStdString();
        titles += (count == 0 ? "" : "|") + title;
        ++count;
        hasSeparator = hasSeparator || action->isSeparator();
        // The quit item is marked by its role; its action ends the application.
        quitWired =
            quitWired || (title == "Quit Quorvane" && action->menuRole() == QAction::QuitRole);
    }
    ReportWriter::write("MENU items=" + titles + " count=" + std::to_string(count) +
                        " quitWired=" + ReportWriter::boolean(quitWired) +
                        " hasSeparator=" + ReportWriter::boolean(hasSeparator) + "\n");
    context.terminate();
}

} // namespace quorvane
