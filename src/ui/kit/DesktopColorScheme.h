// The desktop's light or dark preference, as the freedesktop settings portal tells it
// (org.freedesktop.appearance color-scheme): read once when made, without waiting for the
// answer, and followed through the portal's SettingChanged signal while the program runs.
// Until the portal answers, and for good when there is none, the fallback given decides (the
// lightness of the desktop's palette).
#pragma once

#include "ui/kit/ColorScheme.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>

class QDBusPendingCallWatcher;
class QDBusVariant;

namespace quorvane {

class DesktopColorScheme : public QObject {
    Q_OBJECT

public:
    DesktopColorScheme(const QDBusConnection& bus, ColorScheme::Scheme fallback,
                       QObject* parent = nullptr);

    ColorScheme::Scheme scheme() const { return portal_.value_or(fallback_); }
    // Whether the portal has told a preference yet.
    bool answered() const { return portal_.has_value(); }

    // The portal's value: 1 prefers dark, 2 light, and 0 (no preference) counts as light.
    static ColorScheme::Scheme fromPortalValue(uint value);

signals:
    void changed();

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void readReply(QDBusPendingCallWatcher* watcher);
    void adopt(const QVariant& value);

    QDBusConnection bus_;
    ColorScheme::Scheme fallback_;
    std::optional<ColorScheme::Scheme> portal_;
};

} // namespace quorvane
