#include "support/PrivateBus.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QDBusMessage>
#include <QDBusVariant>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

namespace quorvane::test {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

QDBusMessage settingChanged(const QString& group, const QString& key, const QVariant& value) {
    auto signal =
        QDBusMessage::createSignal(portalPath, settingsInterface, QStringLiteral("SettingChanged"));
    signal << group << key << QVariant::fromValue(QDBusVariant(value));
    return signal;
}

} // namespace

PrivateBus::PrivateBus() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string config = std::string(tmp != nullptr ? tmp : "/tmp") + "/private-bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type>"
                             "<listen>unix:tmpdir=/tmp</listen>"
                             "<policy context=\"default\"><allow user=\"*\"/>"
                             "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                             "<allow own=\"*\"/></policy></busconfig>";
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        execlp("dbus-daemon", "dbus-daemon", "--nofork", "--print-address",
               ("--config-file=" + config).c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    char buffer[512] = {};
    const auto length = read(fds[0], buffer, sizeof buffer - 1);
    close(fds[0]);
    if (length > 0) {
        address_ = QString::fromUtf8(buffer, static_cast<int>(length)).trimmed();
    }
}

PrivateBus::~PrivateBus() {
    for (const QString& name : connections_) {
        QDBusConnection::disconnectFromBus(name);
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

QDBusConnection PrivateBus::connect(const QString& name) {
    connections_ << name;
    return QDBusConnection::connectToBus(address_, name);
}

FakeSettingsPortal::FakeSettingsPortal(QDBusConnection bus, std::optional<uint> colorScheme)
    : bus_(std::move(bus))
    , colorScheme_(colorScheme) {
    registered_ = bus_.registerService(portalService) &&
                  bus_.registerVirtualObject(portalPath, this, QDBusConnection::SubPath);
}

FakeSettingsPortal::~FakeSettingsPortal() {
    bus_.unregisterObject(portalPath);
    bus_.unregisterService(portalService);
}

void FakeSettingsPortal::change(uint colorScheme) {
    colorScheme_ = colorScheme;
    bus_.send(settingChanged(appearance, colorSchemeKey, colorScheme));
}

void FakeSettingsPortal::changeOther() {
    bus_.send(settingChanged(appearance, QStringLiteral("accent-color"), 1u));
    bus_.send(settingChanged(QStringLiteral("org.gnome.desktop.interface"), colorSchemeKey, 1u));
}

QString FakeSettingsPortal::introspect(const QString&) const {
    return {};
}

bool FakeSettingsPortal::handleMessage(const QDBusMessage& message,
                                       const QDBusConnection& connection) {
    if (message.interface() != settingsInterface || message.member() != QLatin1String("Read")) {
        return false;
    }
    ++reads_;
    const auto arguments = message.arguments();
    const bool asked = arguments.size() == 2 && arguments.at(0).toString() == appearance &&
                       arguments.at(1).toString() == colorSchemeKey;
    if (!asked || !colorScheme_) {
        connection.send(
            message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                                     QStringLiteral("Requested setting not found")));
        return true;
    }
    // Read answers a variant that holds the value's own variant.
    const QVariant value = QVariant::fromValue(QDBusVariant(*colorScheme_));
    connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
    return true;
}

} // namespace quorvane::test
