#include "ui/windows/SupportFormButton.h"

#include "platform/links/Links.h"
#include "support/ViewTestState.h"
#include "ui/windows/AboutSection.h"
#include "ui/windows/PrivacySection.h"
#include "ui/windows/SupportSection.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QImage>
#include <QObject>
#include <QPushButton>
#include <QUrl>

#include <string_view>
#include <vector>

namespace quorvane {

// Stands in for the browser and the mail program.
class RecordedUrls : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

namespace {

using test::ViewTestState;

QUrl url(std::string_view text) {
    return QUrl(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// The form's buttons, and its link buttons as the privacy, support and about sections make them.
class SupportFormButtonTest : public testing::Test {
protected:
    AppState& state() { return fixture_.state(); }

    ViewTestState fixture_;
};

TEST_F(SupportFormButtonTest, LinksOpenTheirPagesWithTheDesktopHandler) {
    RecordedUrls handler;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &handler, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &handler, "open");
    PrivacySection privacy(state());
    SupportSection support(state());
    AboutSection about(state());

    struct Case {
        QPushButton* button;
        QString text;
        std::string_view target;
    };
    const std::vector<Case> cases = {
        {privacy.privacyLink(), "Privacy Policy", Links::privacy},
        {support.sponsorLink(), "GitHub Sponsors", Links::sponsor},
        {support.donateLink(), "Buy Me a Coffee", Links::donate},
        {about.websiteLink(), "Website", Links::website},
        {about.privacyLink(), "Privacy Policy", Links::privacy},
        {about.contactLink(), "Contact support", Links::supportMail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        handler.opened.clear();
        EXPECT_EQ(c.button->text(), c.text);
        c.button->click();
        EXPECT_EQ(handler.opened, std::vector{url(c.target)});
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

// The first column, from the left, that the button paints anything in.
int firstInkedColumn(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() / 2);
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background) {
                return x;
            }
        }
    }
    return -1;
}

TEST_F(SupportFormButtonTest, StretchedButtonsStartTheirLabelAtTheLeadingEdge) {
    for (const bool withSymbol : {true, false}) {
        SupportFormButton button(withSymbol ? QStringLiteral("globe") : QString(),
                                 QStringLiteral("Website"));
        button.resize(400, button.sizeHint().height());
        const int ink = firstInkedColumn(button);
        EXPECT_GE(ink, 0) << withSymbol;
        EXPECT_LT(ink, 40) << withSymbol;
    }
}

} // namespace
} // namespace quorvane

#include "SupportFormButtonTest.moc"
