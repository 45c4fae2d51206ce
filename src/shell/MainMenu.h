// The application's menu bar: the application menu (check for updates, quit) and the Edit menu
// whose items act on the focused text editor. The bar has no parent, so a desktop with a global
// menu shows it there; its quit shortcut works from every window of the application, from the
// moment the menu exists. The bar that holds the two menus is made apart, when start-up has time
// for it: making one loads the style's images, and with them every image-format plugin.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QMenuBar;

namespace quorvane {

class MainMenu final : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> checkForUpdates;
        std::function<void()> quit;
    };

    explicit MainMenu(Actions actions, QObject* parent = nullptr);
    ~MainMenu() override;

    // Puts the two menus into a bar of their own; once.
    void installMenuBar();
    // Nothing until installMenuBar().
    QMenuBar* menuBar() const { return menuBar_.get(); }
    QAction* quitAction() const { return quit_; }

    // Sends an editing action (cut, copy, paste, selectAll) to the focused widget when it
    // offers one; false otherwise.
    static bool sendToFocusedEditor(const char* slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildApplicationMenu(const Actions& actions);
    void buildEditMenu();

    std::unique_ptr<QMenu> applicationMenu_;
    std::unique_ptr<QMenu> editMenu_;
    // Declared after the menus it shows, so that it goes before them.
    std::unique_ptr<QMenuBar> menuBar_;
    QAction* quit_ = nullptr;
};

} // namespace quorvane
