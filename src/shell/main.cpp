#include "shell/PanelShell.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quorvane::PanelShell shell;
    shell.start();
    return QApplication::exec();
}
