#pragma once

#include "HotkeyEventManager.h"
#include "HotkeyHandlerList.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <map>

class QDBusMessage;

namespace quorvane {

// Hot keys through the desktop portal's GlobalShortcuts interface, for sessions without an X
// server. The portal binds shortcuts per session and cannot unbind them, so every change of the
// registered set closes the session and binds the new set in a fresh one; a session the portal
// closes is replaced the same way. The portal answers asynchronously and may refuse or lack the
// interface altogether; registrations then simply never fire.
class PortalHotkeyEventManager final : public QObject, public HotkeyEventManager {
    Q_OBJECT

public:
    explicit PortalHotkeyEventManager(QDBusConnection bus, QObject* parent = nullptr);
    ~PortalHotkeyEventManager() override;

    HotkeyStatus installEventHandler(EventHandlerProc handler, void* userData,
                                     std::optional<EventHandlerRef>& outRef) override;
    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                     EventHotKeyID hotKeyID, std::uint32_t options,
                                     std::optional<EventHotKeyRef>& outRef) override;
    HotkeyStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    HotkeyStatus removeEventHandler(EventHandlerRef ref) override;

    // The session the current shortcuts are bound in; empty while none is established.
    QString sessionHandle() const { return session_; }

private slots:
    void onResponse(const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);
    void onSessionClosed(const QDBusMessage& message);

private:
    enum class RequestKind { createSession, bindShortcuts };

    struct Registration {
        QString shortcutID;
        QString trigger;
        EventHotKeyID hotKeyID;
    };

    void rebuildSession();
    void closeSession();
    void createSession();
    void bindShortcuts();
    // Subscribes to the request's Response at its predicted path before the call is made, so an
    // answer that comes quickly is not missed.
    QString expectResponse(RequestKind kind, const QString& token);
    void forgetRequest();
    void sendRequest(const QString& method, const QVariantList& arguments);
    QString nextToken(const char* prefix);

    QDBusConnection bus_;
    HotkeyHandlerList handlers_;
    std::map<std::uint64_t, Registration> registrations_;
    std::uint64_t nextRef_ = 1;
    std::uint64_t nextToken_ = 1;
    QString session_;
    QString pendingRequest_;
    RequestKind pendingKind_ = RequestKind::createSession;
};

} // namespace quorvane
