#include "PortalHotkeyEventManager.h"

#include "KeySymbolTable.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

// One element of BindShortcuts' a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace quorvane {
namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");

// The portal names a request ".../request/<sender>/<token>", the sender being our unique bus
// name without the colon and with dots as underscores.
QString senderPart(const QDBusConnection& bus) {
    auto name = bus.baseService();
    if (name.startsWith(QLatin1Char(':'))) {
        name.remove(0, 1);
    }
    return name.replace(QLatin1Char('.'), QLatin1Char('_'));
}

QString objectPathText(const QVariant& value) {
    // Portals differ in whether they send handles as object paths or as strings.
    if (value.userType() == qMetaTypeId<QDBusObjectPath>()) {
        return value.value<QDBusObjectPath>().path();
    }
    return value.toString();
}

} // namespace

PortalHotkeyEventManager::PortalHotkeyEventManager(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , bus_(std::move(bus)) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    bus_.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                 SLOT(onActivated(QDBusMessage)));
}

PortalHotkeyEventManager::~PortalHotkeyEventManager() {
    forgetRequest();
    closeSession();
}

HotkeyStatus PortalHotkeyEventManager::installEventHandler(EventHandlerProc handler, void* userData,
                                                           std::optional<EventHandlerRef>& outRef) {
    outRef = handlers_.add(handler, userData);
    return HotkeyStatus::noError;
}

HotkeyStatus PortalHotkeyEventManager::registerEventHotKey(std::uint32_t keyCode,
                                                           std::uint32_t modifiers,
                                                           EventHotKeyID hotKeyID, std::uint32_t,
                                                           std::optional<EventHotKeyRef>& outRef) {
    const auto trigger = KeySymbolTable::portalTrigger(keyCode, modifiers);
    if (!trigger) {
        return HotkeyStatus::hotKeyInvalid;
    }
    const auto ref = nextRef_++;
    registrations_[ref] = {QStringLiteral("hotkey-%1").arg(ref), QString::fromStdString(*trigger),
                           hotKeyID};
    outRef = EventHotKeyRef{ref};
    rebuildSession();
    return HotkeyStatus::noError;
}

HotkeyStatus PortalHotkeyEventManager::unregisterEventHotKey(EventHotKeyRef ref) {
    if (registrations_.erase(static_cast<std::uint64_t>(ref)) == 0) {
        return HotkeyStatus::invalidReference;
    }
    rebuildSession();
    return HotkeyStatus::noError;
}

HotkeyStatus PortalHotkeyEventManager::removeEventHandler(EventHandlerRef ref) {
    return handlers_.remove(ref) ? HotkeyStatus::noError : HotkeyStatus::invalidReference;
}

void PortalHotkeyEventManager::rebuildSession() {
    forgetRequest();
    closeSession();
    if (!registrations_.empty()) {
        createSession();
    }
}

void PortalHotkeyEventManager::closeSession() {
    if (session_.isEmpty()) {
        return;
    }
    bus_.disconnect(portalService, session_, sessionInterface, QStringLiteral("Closed"), this,
                    SLOT(onSessionClosed(QDBusMessage)));
    bus_.asyncCall(
        QDBusMessage::createMethodCall(portalService, session_, sessionInterface, "Close"));
    session_.clear();
}

void PortalHotkeyEventManager::createSession() {
    const auto token = nextToken("quorvane_request");
    expectResponse(RequestKind::createSession, token);
    const QVariantMap options{
        {QStringLiteral("handle_token"), token},
        {QStringLiteral("session_handle_token"), nextToken("quorvane_session")}};
    sendRequest(QStringLiteral("CreateSession"), {options});
}

void PortalHotkeyEventManager::bindShortcuts() {
    QList<PortalShortcut> shortcuts;
    for (const auto& [ref, registration] : registrations_) {
        shortcuts.push_back({registration.shortcutID,
                             {{QStringLiteral("description"), QStringLiteral("Show Quorvane")},
                              {QStringLiteral("preferred_trigger"), registration.trigger}}});
    }
    const auto token = nextToken("quorvane_request");
    expectResponse(RequestKind::bindShortcuts, token);
    const QVariantMap options{{QStringLiteral("handle_token"), token}};
    sendRequest(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
                 QString(), options});
}

QString PortalHotkeyEventManager::expectResponse(RequestKind kind, const QString& token) {
    forgetRequest();
    pendingRequest_ =
        portalPath + QStringLiteral("/request/") + senderPart(bus_) + QLatin1Char('/') + token;
    pendingKind_ = kind;
    bus_.connect(portalService, pendingRequest_, requestInterface, QStringLiteral("Response"), this,
                 SLOT(onResponse(QDBusMessage)));
    return pendingRequest_;
}

void PortalHotkeyEventManager::forgetRequest() {
    if (pendingRequest_.isEmpty()) {
        return;
    }
    bus_.disconnect(portalService, pendingRequest_, requestInterface, QStringLiteral("Response"),
                    this, SLOT(onResponse(QDBusMessage)));
    pendingRequest_.clear();
}

void PortalHotkeyEventManager::sendRequest(const QString& method, const QVariantList& arguments) {
    auto call =
        QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    call.setArguments(arguments);
    const auto request = pendingRequest_;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                // A portal without the interface, or none at all: stay silent, nothing fires.
                if (finished->isError() && pendingRequest_ == request) {
                    forgetRequest();
                }
            });
}

QString PortalHotkeyEventManager::nextToken(const char* prefix) {
    return QStringLiteral("%1_%2").arg(QLatin1String(prefix)).arg(nextToken_++);
}

void PortalHotkeyEventManager::onResponse(const QDBusMessage& message) {
    if (message.path() != pendingRequest_ || message.arguments().size() < 2) {
        return;
    }
    const auto kind = pendingKind_;
    forgetRequest();
    const auto response = message.arguments().at(0).toUInt();
    if (response != 0) {
        return;
    }
    if (kind != RequestKind::createSession) {
        return;
    }
    const auto results = qdbus_cast<QVariantMap>(message.arguments().at(1));
    session_ = objectPathText(results.value(QStringLiteral("session_handle")));
    if (session_.isEmpty()) {
        return;
    }
    bus_.connect(portalService, session_, sessionInterface, QStringLiteral("Closed"), this,
                 SLOT(onSessionClosed(QDBusMessage)));
    bindShortcuts();
}

void PortalHotkeyEventManager::onActivated(const QDBusMessage& message) {
    const auto arguments = message.arguments();
    if (arguments.size() < 2 || session_.isEmpty() || objectPathText(arguments.at(0)) != session_) {
        return;
    }
    const auto shortcutID = arguments.at(1).toString();
    for (const auto& [ref, registration] : registrations_) {
        if (registration.shortcutID == shortcutID) {
            handlers_.dispatch(HotKeyPressedEvent{registration.hotKeyID});
            return;
        }
    }
}

void PortalHotkeyEventManager::onSessionClosed(const QDBusMessage& message) {
    if (message.path() != session_) {
        return;
    }
    bus_.disconnect(portalService, session_, sessionInterface, QStringLiteral("Closed"), this,
                    SLOT(onSessionClosed(QDBusMessage)));
    session_.clear();
    if (!registrations_.empty()) {
        createSession();
    }
}

} // namespace quorvane
