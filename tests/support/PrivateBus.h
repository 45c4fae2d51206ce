// A message bus of one test's own (dbus-daemon started for it), so that no desktop service of the
// user's is ever reached; and a fake of the desktop's settings portal on it that tells the
// colour-scheme preference and announces changes of it, as xdg-desktop-portal does.
#pragma once

#include <sys/types.h>

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>

#include <optional>

namespace quorvane::test {

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();

    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when no dbus-daemon could be started (the test should skip).
    const QString& address() const { return address_; }
    // A named connection to the bus; disconnected again when the bus goes.
    QDBusConnection connect(const QString& name);

private:
    pid_t pid_ = -1;
    QString address_;
    QStringList connections_;
};

class FakeSettingsPortal final : public QDBusVirtualObject {
public:
    // Takes the portal's service name on the bus; a preference of nullopt answers Read with the
    // portal's "not found" error, as a portal without the appearance settings does.
    FakeSettingsPortal(QDBusConnection bus, std::optional<uint> colorScheme);
    ~FakeSettingsPortal() override;

    bool registered() const { return registered_; }
    int reads() const { return reads_; }
    // Stores the value and sends SettingChanged for it.
    void change(uint colorScheme);
    // A change of some other setting, which the reader must leave alone.
    void changeOther();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusConnection bus_;
    std::optional<uint> colorScheme_;
    bool registered_ = false;
    int reads_ = 0;
};

} // namespace quorvane::test
