#include "shell/UpdateDialogDriver.h"

#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/KitButton.h"
#include "ui/kit/SoftButtonStyle.h"

#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace quorvane {

namespace {

KitButton* makeButton(std::unique_ptr<ButtonStyle> style, const QString& title, QWidget* parent) {
    auto* button = new KitButton(std::move(style), parent);
    button->setText(title);
    button->setAccessibleName(title);
    return button;
}

} // namespace

UpdateDialogDriver::UpdateDialogDriver(UrlOpener openUrl)
    : openUrl_(openUrl ? std::move(openUrl)
                       : UrlOpener([](const QUrl& url) { QDesktopServices::openUrl(url); })) {}

UpdateDialogDriver::~UpdateDialogDriver() {
    delete dialog_.data();
}

void UpdateDialogDriver::showUpdateCheckResult(const UpdateCheckResult& result) {
    // One dialog at a time: a new check replaces the answer of the previous one.
    delete dialog_.data();
    auto* dialog =
        new QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QString::fromUtf8(windowTitle));
    dialog_ = dialog;

    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(16);
    auto* message = new QLabel(QString::fromStdString(result.message), dialog);
    // The sentence quotes the feed (its version text, its link): shown as
    // written, never rendered as markup the feed put there.
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setObjectName(QStringLiteral("updateMessage"));
    layout->addWidget(message);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const bool offersDownload = result.kind == UpdateCheckResult::Kind::updateAvailable &&
                                result.update && !result.update->downloadUrl.empty();
    // Later (or OK) closes; Download opens the release's page first.
    buttons->addWidget(makeButton(std::make_unique<SoftButtonStyle>(),
                                  offersDownload ? QStringLiteral("Later") : QStringLiteral("OK"),
                                  dialog));
    if (offersDownload) {
        const QUrl url(QString::fromStdString(result.update->downloadUrl));
        auto* download = makeButton(std::make_unique<AuroraButtonStyle>(),
                                    QString::fromUtf8(downloadTitle), dialog);
        QObject::connect(download, &QAbstractButton::clicked, dialog, [this, dialog, url] {
            openUrl_(url);
            dialog->close();
        });
        buttons->addWidget(download);
    }
    for (auto* button : dialog->findChildren<KitButton*>()) {
        if (button->text() != QString::fromUtf8(downloadTitle)) {
            QObject::connect(button, &QAbstractButton::clicked, dialog, &QDialog::close);
        }
    }
    layout->addLayout(buttons);
    dialog->setMinimumWidth(360);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace quorvane
