#include "shell/ApplicationWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace quorvane {

namespace {

Qt::WindowFlags flagsFor(bool minimizable) {
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (minimizable) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    return flags | Qt::CustomizeWindowHint;
}

} // namespace

ApplicationWindow::ApplicationWindow(const Options& options, QWidget* content)
    : QWidget(nullptr, flagsFor(options.minimizable))
    , content_(content) {
    setWindowTitle(options.title);
    setFixedSize(options.size);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    content_->setParent(this);
    layout->addWidget(content_);
}

void ApplicationWindow::center() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    auto frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace quorvane
