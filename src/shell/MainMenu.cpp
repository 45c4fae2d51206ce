#include "shell/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace quorvane {

namespace {

// Quit sits outside every window, so it is matched by hand here instead of through the shortcut
// machinery, which only fires for actions of a visible widget.
bool isQuitKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Q &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace

MainMenu::MainMenu(Actions actions, QObject* parent)
    : QObject(parent)
    , applicationMenu_(std::make_unique<QMenu>(QStringLiteral("Quorvane")))
    , editMenu_(std::make_unique<QMenu>(QStringLiteral("Edit"))) {
    buildApplicationMenu(actions);
    buildEditMenu();
    qApp->installEventFilter(this);
}

MainMenu::~MainMenu() {
    if (qApp) {
        qApp->removeEventFilter(this);
    }
}

void MainMenu::installMenuBar() {
    if (menuBar_) {
        return;
    }
    menuBar_ = std::make_unique<QMenuBar>(nullptr);
    menuBar_->addMenu(applicationMenu_.get());
    menuBar_->addMenu(editMenu_.get());
}

void MainMenu::buildApplicationMenu(const Actions& actions) {
    QMenu* menu = applicationMenu_.get();
    auto* check = menu->addAction(QStringLiteral("Check for Updates…"));
    check->setObjectName(QStringLiteral("checkForUpdates"));
    connect(check, &QAction::triggered, this, [run = actions.checkForUpdates] {
        if (run) {
            run();
        }
    });
    menu->addSeparator();
    quit_ = menu->addAction(QStringLiteral("Quit Quorvane"));
    quit_->setObjectName(QStringLiteral("terminate"));
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit_->setShortcutContext(Qt::WidgetShortcut);
    quit_->setMenuRole(QAction::QuitRole);
    connect(quit_, &QAction::triggered, this, [run = actions.quit] {
        if (run) {
            run();
        }
    });
}

void MainMenu::buildEditMenu() {
    struct Item {
        const char* title;
        const char* slot;
        QKeySequence::StandardKey key;
    };
    static constexpr Item items[] = {
        {"Cut", "cut", QKeySequence::Cut},
        {"Copy", "copy", QKeySequence::Copy},
        {"Paste", "paste", QKeySequence::Paste},
        {"Select All", "selectAll", QKeySequence::SelectAll},
    };
    QMenu* menu = editMenu_.get();
    for (const auto& item : items) {
        auto* action = menu->addAction(QString::fromUtf8(item.title));
        action->setObjectName(QString::fromUtf8(item.slot));
        // The key is shown in the menu only: the focused editor handles it itself.
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this,
                [slot = item.slot] { sendToFocusedEditor(slot); });
    }
}

bool MainMenu::sendToFocusedEditor(const char* slot) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused) {
        return false;
    }
    const auto signature = QByteArray(slot) + "()";
    if (focused->metaObject()->indexOfMethod(signature.constData()) < 0) {
        return false;
    }
    return QMetaObject::invokeMethod(focused, slot);
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
    // Taken at the first widget that receives the press, so it neither reaches the editor nor
    // fires again as the press travels up to the window.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        isQuitKey(*static_cast<QKeyEvent*>(event))) {
        quit_->trigger();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvane
