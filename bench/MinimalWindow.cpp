// The yardstick for the cold-start benchmark: the least a Qt Widgets program does to put one
// window on the screen.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.show();
    return QApplication::exec();
}
