#include "platform/hotkey/PortalHotkeyEventManager.h"

#include "support/PrivateBus.h"
#include "support/QtWaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QElapsedTimer>

namespace quorvane {
namespace {

// The portal side: answers CreateSession and BindShortcuts the way xdg-desktop-portal does, with
// the method's reply first and the Response signal on the request path after it.
class FakePortal final : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus)
        : bus_(std::move(bus)) {}

    bool supportsShortcuts = true;
    int sessionsCreated = 0;
    QStringList closedSessions;
    QString session;
    QString boundTrigger;
    QString boundShortcut;

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == QLatin1String("Close")) {
            closedSessions << message.path();
            connection.send(message.createReply());
            return true;
        }
        if (!supportsShortcuts) {
            connection.send(
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                         QStringLiteral("no such interface")));
            return true;
        }
        const auto sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        if (message.member() == QLatin1String("CreateSession")) {
            const auto options = qdbus_cast<QVariantMap>(message.arguments().at(0));
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                          .arg(sender, options.value("session_handle_token").toString());
            ++sessionsCreated;
            respond(message, connection, sender, options.value("handle_token").toString(),
                    {{QStringLiteral("session_handle"), session}});
            return true;
        }
        if (message.member() == QLatin1String("BindShortcuts")) {
            const auto& shortcuts = message.arguments().at(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                QVariantMap properties;
                shortcuts.beginStructure();
                shortcuts >> boundShortcut >> properties;
                shortcuts.endStructure();
                boundTrigger = properties.value("preferred_trigger").toString();
            }
            shortcuts.endArray();
            const auto options = qdbus_cast<QVariantMap>(message.arguments().at(3));
            respond(message, connection, sender, options.value("handle_token").toString(), {});
            return true;
        }
        return false;
    }

    void activate(const QString& sessionPath, const QString& shortcut) {
        auto signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(sessionPath)) << shortcut
               << QVariant::fromValue<qulonglong>(0) << QVariantMap();
        bus_.send(signal);
    }

    void closeSession() {
        bus_.send(QDBusMessage::createSignal(session,
                                             QStringLiteral("org.freedesktop.portal.Session"),
                                             QStringLiteral("Closed"))
                  << QVariantMap());
    }

private:
    static void respond(const QDBusMessage& call, const QDBusConnection& connection,
                        const QString& sender, const QString& token, const QVariantMap& results) {
        const auto request =
            QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
        connection.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        auto signal = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << 0u << results;
        connection.send(signal);
    }

    QDBusConnection bus_;
};

HotkeyStatus countPress(const HotKeyPressedEvent& event, void* userData) {
    auto* presses = static_cast<std::vector<EventHotKeyID>*>(userData);
    presses->push_back(event.hotKeyID);
    return HotkeyStatus::noError;
}

testing::AssertionResult waitFor(const std::function<bool()>& done) {
    return test::qtWaitUntil(done);
}

void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 200) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

class PortalHotkeyEventManagerTest : public testing::Test {
protected:
    void SetUp() override {
        if (bus.address().isEmpty()) {
            GTEST_SKIP() << "dbus-daemon is needed";
        }
        auto service = bus.connect(QStringLiteral("portal"));
        ASSERT_TRUE(service.isConnected());
        portal = std::make_unique<FakePortal>(service);
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        ASSERT_TRUE(service.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                  portal.get(), QDBusConnection::SubPath));
        auto client = bus.connect(QStringLiteral("client"));
        ASSERT_TRUE(client.isConnected());
        manager = std::make_unique<PortalHotkeyEventManager>(client);
        std::optional<EventHandlerRef> handler;
        manager->installEventHandler(&countPress, &presses, handler);
    }

    void TearDown() override {
        manager.reset();
        // Lets the last calls and signals be delivered, so no message is left queued in a
        // connection when it closes (libdbus would leak it).
        settle();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    }

    std::optional<EventHotKeyRef> registerCommandShiftE() {
        std::optional<EventHotKeyRef> ref;
        EXPECT_EQ(manager->registerEventHotKey(14, 0x0300, {7, 1}, 0, ref), HotkeyStatus::noError);
        return ref;
    }

    testing::AssertionResult bound() {
        return waitFor([&] {
            return manager->sessionHandle() == portal->session && !portal->boundShortcut.isEmpty();
        });
    }

    test::PrivateBus bus;
    std::unique_ptr<FakePortal> portal;
    std::unique_ptr<PortalHotkeyEventManager> manager;
    std::vector<EventHotKeyID> presses;
};

TEST_F(PortalHotkeyEventManagerTest, BindsTheCombinationAndDeliversActivations) {
    ASSERT_TRUE(registerCommandShiftE());
    ASSERT_TRUE(bound());
    EXPECT_EQ(portal->boundTrigger, QStringLiteral("CTRL+SHIFT+e"));

    portal->activate(portal->session, portal->boundShortcut);
    ASSERT_TRUE(waitFor([&] { return presses.size() == 1; }));
    EXPECT_EQ(presses[0], (EventHotKeyID{7, 1}));

    // Another session's or another shortcut's activations are not ours.
    portal->activate(QStringLiteral("/org/freedesktop/portal/desktop/session/x/y"),
                     portal->boundShortcut);
    portal->activate(portal->session, QStringLiteral("someone-else"));
    settle();
    EXPECT_EQ(presses.size(), 1u);
}

TEST_F(PortalHotkeyEventManagerTest, ASessionThePortalClosesIsReplaced) {
    ASSERT_TRUE(registerCommandShiftE());
    ASSERT_TRUE(bound());
    const auto first = portal->session;

    portal->closeSession();
    ASSERT_TRUE(waitFor([&] { return portal->sessionsCreated == 2 && bound(); }));
    EXPECT_NE(portal->session, first);

    portal->activate(first, portal->boundShortcut);
    portal->activate(portal->session, portal->boundShortcut);
    ASSERT_TRUE(waitFor([&] { return presses.size() == 1; }));
    settle();
    EXPECT_EQ(presses.size(), 1u);
}

TEST_F(PortalHotkeyEventManagerTest, UnregisteringClosesTheSession) {
    const auto ref = registerCommandShiftE();
    ASSERT_TRUE(bound());
    const auto session = portal->session;

    EXPECT_EQ(manager->unregisterEventHotKey(*ref), HotkeyStatus::noError);
    ASSERT_TRUE(waitFor([&] { return portal->closedSessions.contains(session); }));
    EXPECT_TRUE(manager->sessionHandle().isEmpty());
    portal->activate(session, portal->boundShortcut);
    settle();
    EXPECT_TRUE(presses.empty());
    EXPECT_EQ(manager->unregisterEventHotKey(*ref), HotkeyStatus::invalidReference);
}

TEST_F(PortalHotkeyEventManagerTest, APortalWithoutTheInterfaceFailsSilently) {
    portal->supportsShortcuts = false;
    EXPECT_TRUE(registerCommandShiftE());
    settle();
    EXPECT_TRUE(manager->sessionHandle().isEmpty());
    EXPECT_EQ(portal->sessionsCreated, 0);

    std::optional<EventHotKeyRef> ref;
    EXPECT_EQ(manager->registerEventHotKey(10, 0x0100, {7, 2}, 0, ref),
              HotkeyStatus::hotKeyInvalid);
    EXPECT_FALSE(ref);
}

} // namespace
} // namespace quorvane
