// Shows the outcome of an update check in a small dialog: up to date, not configured, the
// failure, or the newer release with a button that opens its download page.
#pragma once

#include "platform/updater/UpdateUserDriver.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QUrl;

namespace quorvane {

class UpdateDialogDriver final : public UpdateUserDriver {
public:
    using UrlOpener = std::function<void(const QUrl&)>;

    // The opener defaults to the desktop's handler for the address.
    explicit UpdateDialogDriver(UrlOpener openUrl = {});
    ~UpdateDialogDriver() override;

    void showUpdateCheckResult(const UpdateCheckResult& result) override;

    // The dialog of the last check while it is open.
    QDialog* dialog() const { return dialog_; }

    static constexpr const char* windowTitle = "Software Update";
    static constexpr const char* downloadTitle = "Download";

private:
    UrlOpener openUrl_;
    QPointer<QDialog> dialog_;
};

} // namespace quorvane
