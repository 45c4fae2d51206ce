// The application's icon in the desktop's tray, standing in for a Dock icon: a click on it (or a
// double-click) is one reopen, and its context menu is built anew each time it opens. Trays come
// and go (a panel that starts after us, a desktop without one), so the icon keeps asking for a
// while after start; the application works without it.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace quorvane {

class TrayIcon final : public QObject {
    Q_OBJECT

public:
    struct Actions {
        // A new menu, owned by the caller.
        std::function<QMenu*()> makeMenu;
        std::function<void()> reopen;
    };

    static constexpr std::chrono::milliseconds retryInterval{5000};
    static constexpr int retryCount = 24;

    explicit TrayIcon(Actions actions, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon now or, without a tray, on one of the later attempts.
    void show();
    bool isShown() const;

    // The menu the tray shows; refilled from makeMenu each time it is about to open.
    QMenu* contextMenu() const { return menu_.get(); }
    void refreshMenu();

    QSystemTrayIcon* systemTrayIcon() const { return icon_.get(); }

private:
    void tryShow();

    Actions actions_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QTimer retry_;
    int attemptsLeft_ = retryCount;
};

} // namespace quorvane
