#include "ui/kit/DesktopColorScheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace quorvane {

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString schemeKey = QStringLiteral("color-scheme");

// Read answers a variant holding the variant of the value; a signal carries the value's own.
QVariant unwrapped(QVariant value) {
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = qvariant_cast<QDBusVariant>(value).variant();
    }
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const auto argument = qvariant_cast<QDBusArgument>(value);
        QDBusVariant inner;
        argument >> inner;
        value = inner.variant();
    }
    return value;
}

} // namespace

DesktopColorScheme::DesktopColorScheme(const QDBusConnection& bus, ColorScheme::Scheme fallback,
                                       QObject* parent)
    : QObject(parent)
    , bus_(bus)
    , fallback_(fallback) {
    if (!bus_.isConnected()) {
        return;
    }
    // The slot's argument type must be known by name before the connection is made; nothing
    // else in the program may have needed it yet, and then the connection silently fails.
    qRegisterMetaType<QDBusVariant>();
    bus_.connect(service, path, interface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QString, QString, QDBusVariant)));
    // Read rather than ReadOne: every portal version has it.
    auto call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Read"));
    call << appearanceGroup << schemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopColorScheme::readReply);
}

ColorScheme::Scheme DesktopColorScheme::fromPortalValue(uint value) {
    return value == 1 ? ColorScheme::Scheme::dark : ColorScheme::Scheme::light;
}

void DesktopColorScheme::readReply(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *watcher;
    // No portal, or one without the appearance settings: the fallback stays.
    if (reply.isError()) {
        return;
    }
    adopt(reply.value().variant());
}

void DesktopColorScheme::settingChanged(const QString& group, const QString& key,
                                        const QDBusVariant& value) {
    if (group != appearanceGroup || key != schemeKey) {
        return;
    }
    adopt(value.variant());
}

void DesktopColorScheme::adopt(const QVariant& value) {
    bool isNumber = false;
    const uint number = unwrapped(value).toUInt(&isNumber);
    if (!isNumber) {
        return;
    }
    const ColorScheme::Scheme before = scheme();
    portal_ = fromPortalValue(number);
    if (scheme() != before) {
        emit changed();
    }
}

} // namespace quorvane
