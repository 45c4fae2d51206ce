#include "shell/TrayIcon.h"

#include "ui/kit/DesignColors.h"
#include "ui/kit/Symbols.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace quorvane {

namespace {

QIcon wandIcon() {
    // The installed theme icon when there is one; the symbol font otherwise (a build tree).
    const auto themed = QIcon::fromTheme(QStringLiteral("quorvane"));
    if (!themed.isNull()) {
        return themed;
    }
    return Symbols::icon("wand.and.stars", 22, DesignColors::indigo(ColorScheme::Scheme::dark));
}

} // namespace

TrayIcon::TrayIcon(Actions actions, QObject* parent)
    : QObject(parent)
    , actions_(std::move(actions))
    , menu_(std::make_unique<QMenu>())
    , icon_(std::make_unique<QSystemTrayIcon>()) {
    icon_->setToolTip(QStringLiteral("Quorvane"));
    icon_->setContextMenu(menu_.get());
    connect(menu_.get(), &QMenu::aboutToShow, this, &TrayIcon::refreshMenu);
    // A double-click arrives as Trigger followed by DoubleClick: acting on both would show the
    // panel and hide it again at once.
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && actions_.reopen) {
                    actions_.reopen();
                }
            });
    retry_.setInterval(retryInterval);
    connect(&retry_, &QTimer::timeout, this, &TrayIcon::tryShow);
    // Some trays ask for the menu only when it opens; fill it once so it is never empty.
    refreshMenu();
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::show() {
    attemptsLeft_ = retryCount;
    tryShow();
}

bool TrayIcon::isShown() const {
    return icon_->isVisible();
}

void TrayIcon::tryShow() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        retry_.stop();
        // Made only when there is a tray to hold it: the theme lookup and the symbol font cost
        // the start-up several milliseconds that a desktop without a tray need not pay.
        if (icon_->icon().isNull()) {
            icon_->setIcon(wandIcon());
        }
        icon_->show();
        return;
    }
    if (attemptsLeft_-- > 0) {
        retry_.start();
        return;
    }
    retry_.stop();
}

void TrayIcon::refreshMenu() {
    if (!actions_.makeMenu) {
        return;
    }
    std::unique_ptr<QMenu> fresh(actions_.makeMenu());
    menu_->clear();
    for (auto* action : fresh->actions()) {
        fresh->removeAction(action);
        action->setParent(menu_.get());
        menu_->addAction(action);
    }
}

} // namespace quorvane
