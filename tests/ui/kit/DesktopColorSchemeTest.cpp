#include "ui/kit/DesktopColorScheme.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <functional>

namespace quorvane {
namespace {

using test::FakeSettingsPortal;
using test::PrivateBus;
using Scheme = ColorScheme::Scheme;

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 10000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Long enough for a call and its answer to make the round trip over the private bus.
void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 250) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

class DesktopColorSchemeTest : public testing::Test {
protected:
    void SetUp() override {
        if (bus.address().isEmpty()) {
            GTEST_SKIP() << "dbus-daemon is needed";
        }
    }

    PrivateBus bus;
};

// The portal's answer to the read at start decides over the desktop palette's lightness; until
// it comes the palette's lightness holds, and "no preference" is the light look.
TEST_F(DesktopColorSchemeTest, ThePortalsAnswerAtStartDecides) {
    struct Case {
        uint portal;
        Scheme fallback;
        Scheme expected;
    };
    const Case cases[] = {
        {1, Scheme::light, Scheme::dark},
        {2, Scheme::dark, Scheme::light},
        {0, Scheme::dark, Scheme::light},
        {1, Scheme::dark, Scheme::dark},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index);
        const QString suffix = QString::number(index++);
        FakeSettingsPortal portal(bus.connect(QStringLiteral("portal") + suffix), c.portal);
        ASSERT_TRUE(portal.registered());
        DesktopColorScheme desktop(bus.connect(QStringLiteral("client") + suffix), c.fallback);
        QSignalSpy changed(&desktop, &DesktopColorScheme::changed);
        EXPECT_EQ(desktop.scheme(), c.fallback) << "the answer comes later, never blocking";

        ASSERT_TRUE(waitFor([&] { return desktop.answered(); }));
        EXPECT_EQ(desktop.scheme(), c.expected);
        EXPECT_EQ(changed.count(), c.expected == c.fallback ? 0 : 1);
        EXPECT_EQ(portal.reads(), 1);
    }
}

// Like the program's one reader, this is the first in its process (ctest runs every case in a
// process of its own): nothing has made Qt know the argument types of the signal before.
TEST_F(DesktopColorSchemeTest, FollowsTheChangesThePortalAnnounces) {
    FakeSettingsPortal portal(bus.connect(QStringLiteral("portal")), 2);
    DesktopColorScheme desktop(bus.connect(QStringLiteral("client")), Scheme::light);
    ASSERT_TRUE(waitFor([&] { return desktop.answered(); }));
    QSignalSpy changed(&desktop, &DesktopColorScheme::changed);

    portal.change(1);
    ASSERT_TRUE(waitFor([&] { return desktop.scheme() == Scheme::dark; }));
    EXPECT_EQ(changed.count(), 1);

    // Another key of the appearance settings, or the key in another namespace, is not ours.
    portal.changeOther();
    settle();
    EXPECT_EQ(desktop.scheme(), Scheme::dark);
    EXPECT_EQ(changed.count(), 1);

    portal.change(0);
    ASSERT_TRUE(waitFor([&] { return desktop.scheme() == Scheme::light; }));
    EXPECT_EQ(changed.count(), 2);
}

// No portal on the bus, a portal that lacks the appearance settings, or no bus at all: the
// desktop palette's lightness stays in force.
TEST_F(DesktopColorSchemeTest, WithoutAnAnswerTheDesktopPaletteDecides) {
    for (const Scheme fallback : {Scheme::light, Scheme::dark}) {
        {
            DesktopColorScheme noPortal(bus.connect(QStringLiteral("alone")), fallback);
            settle();
            EXPECT_FALSE(noPortal.answered());
            EXPECT_EQ(noPortal.scheme(), fallback);
        }
        {
            FakeSettingsPortal portal(bus.connect(QStringLiteral("bare portal")), std::nullopt);
            DesktopColorScheme bare(bus.connect(QStringLiteral("asking")), fallback);
            ASSERT_TRUE(waitFor([&] { return portal.reads() == 1; }));
            settle();
            EXPECT_FALSE(bare.answered());
            EXPECT_EQ(bare.scheme(), fallback);
        }
        DesktopColorScheme noBus(QDBusConnection(QString()), fallback);
        EXPECT_EQ(noBus.scheme(), fallback);
    }
}

} // namespace
} // namespace quorvane
