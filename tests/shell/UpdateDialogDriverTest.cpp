#include "shell/UpdateDialogDriver.h"

#include "ui/kit/KitButton.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QUrl>

#include <vector>

namespace quorvane {
namespace {

std::vector<QString> buttonTitles(const QDialog& dialog) {
    std::vector<QString> titles;
    for (const auto* button : dialog.findChildren<KitButton*>()) {
        titles.push_back(button->text());
    }
    return titles;
}

KitButton* button(const QDialog& dialog, const QString& title) {
    for (auto* candidate : dialog.findChildren<KitButton*>()) {
        if (candidate->text() == title) {
            return candidate;
        }
    }
    return nullptr;
}

TEST(UpdateDialogDriverTest, ShowsTheMessageOfEachOutcome) {
    using Kind = UpdateCheckResult::Kind;
    const struct {
        Kind kind;
        std::vector<QString> buttons;
    } cases[] = {
        {Kind::upToDate, {"OK"}},
        {Kind::notConfigured, {"OK"}},
        {Kind::failed, {"OK"}},
        // No download address: nothing to open, so no download button.
        {Kind::updateAvailable, {"OK"}},
    };
    UpdateDialogDriver driver([](const QUrl&) { ADD_FAILURE() << "nothing to open"; });
    for (const auto& row : cases) {
        driver.showUpdateCheckResult({row.kind, "The sentence.", std::nullopt});
        ASSERT_NE(driver.dialog(), nullptr);
        EXPECT_TRUE(driver.dialog()->isVisible());
        EXPECT_EQ(driver.dialog()->findChild<QLabel*>("updateMessage")->text(), "The sentence.");
        EXPECT_EQ(buttonTitles(*driver.dialog()), row.buttons);
    }
}

TEST(UpdateDialogDriverTest, NewerReleaseOffersItsDownloadPage) {
    std::vector<QUrl> opened;
    UpdateDialogDriver driver([&](const QUrl& url) { opened.push_back(url); });
    AppcastItem item{"Quorvane 2.0", "200", "2.0", "https://example.org/quorvane-2.0.tar.gz", {}};
    driver.showUpdateCheckResult({UpdateCheckResult::Kind::updateAvailable, "2.0 is out.", item});
    auto* dialog = driver.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(buttonTitles(*dialog), (std::vector<QString>{"Later", "Download"}));

    button(*dialog, "Download")->click();
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl("https://example.org/quorvane-2.0.tar.gz")});
    EXPECT_FALSE(dialog->isVisible());
}

TEST(UpdateDialogDriverTest, FeedTextIsShownAsWrittenNotAsMarkup) {
    // A feed's version text lands in the sentence; markup in it must not
    // restyle the dialog, add links or hide the rest of the sentence.
    const std::string sentence =
        "Quorvane <b>9.9</b><br><a href=\"https://elsewhere.example\">safe</a> is available at "
        "https://example.org/q.tar.gz.";
    UpdateDialogDriver driver([](const QUrl&) {});
    driver.showUpdateCheckResult({UpdateCheckResult::Kind::failed, sentence, std::nullopt});
    auto* label = driver.dialog()->findChild<QLabel*>("updateMessage");
    ASSERT_NE(label, nullptr);
    // What the label presents (and reads out) is the rendered text.
    auto* shown = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(QAccessible::Name).toStdString(), sentence);
}

TEST(UpdateDialogDriverTest, ANewCheckReplacesTheOpenDialog) {
    UpdateDialogDriver driver([](const QUrl&) {});
    driver.showUpdateCheckResult({UpdateCheckResult::Kind::upToDate, "First.", std::nullopt});
    QPointer<QDialog> first = driver.dialog();
    driver.showUpdateCheckResult({UpdateCheckResult::Kind::failed, "Second.", std::nullopt});
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(driver.dialog()->findChild<QLabel*>("updateMessage")->text(), "Second.");
}

} // namespace
} // namespace quorvane
