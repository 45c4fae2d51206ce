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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    content_->setParent(this);
    layout->addWidget(content_);
    if (!options.resizable) {
        setFixedSize(options.size);
        return;
    }
    // The view's limits are the window's: never smaller than the view can be laid out in, and
    // no larger than it may grow.
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    layout->activate();
    resize(QLayout::closestAcceptableSize(this, options.size));
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
