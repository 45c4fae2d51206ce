#include "ui/kit/ReduceMotion.h"

#include "engine/Text.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <charconv>
#include <string>

namespace quorvane {

namespace {

std::optional<bool>& overrideValue() {
    static std::optional<bool> value;
    return value;
}

std::optional<bool> parseFactor(std::string_view text) {
    double factor = 0.0;
    const auto* end = text.data() + text.size();
    auto [last, error] = std::from_chars(text.data(), end, factor);
    if (error != std::errc() || last != end) {
        return std::nullopt;
    }
    return factor <= 0.0;
}

std::string readKdeGlobals() {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/kdeglobals");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

std::string runGsettings() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (program.isEmpty()) {
        return {};
    }
    QProcess process;
    process.start(program, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                            QStringLiteral("enable-animations")});
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(500);
        return {};
    }
    return process.readAllStandardOutput().toStdString();
}

} // namespace

bool ReduceMotion::enabled() {
    if (overrideValue()) {
        return *overrideValue();
    }
    static const bool desktop = readDesktop();
    return desktop;
}

void ReduceMotion::setOverride(std::optional<bool> reduce) {
    overrideValue() = reduce;
}

std::optional<bool> ReduceMotion::fromGnomeSetting(std::string_view output) {
    const std::string value = Text::trimmed(output);
    if (value == "false") {
        return true;
    }
    if (value == "true") {
        return false;
    }
    return std::nullopt;
}

std::optional<bool> ReduceMotion::fromKdeGlobals(std::string_view text) {
    bool inKdeGroup = false;
    std::optional<bool> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string line = Text::trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.starts_with('[')) {
            inKdeGroup = line == "[KDE]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inKdeGroup || equals == std::string::npos) {
            continue;
        }
        const std::string_view entry(line);
        if (Text::trimmed(entry.substr(0, equals)) == "AnimationDurationFactor") {
            result = parseFactor(Text::trimmed(entry.substr(equals + 1)));
        }
    }
    return result;
}

bool ReduceMotion::followsGnomeSettings(std::string_view currentDesktop) {
    constexpr std::string_view followers[] = {"GNOME", "Unity", "Budgie", "Pantheon"};
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        std::size_t end = currentDesktop.find(':', start);
        if (end == std::string_view::npos) {
            end = currentDesktop.size();
        }
        const auto name = currentDesktop.substr(start, end - start);
        for (const auto follower : followers) {
            if (name == follower) {
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}

bool ReduceMotion::readDesktop() {
    if (auto kde = fromKdeGlobals(readKdeGlobals())) {
        return *kde;
    }
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    if (!followsGnomeSettings(std::string_view(desktop.constData(), desktop.size()))) {
        return false;
    }
    return fromGnomeSetting(runGsettings()).value_or(false);
}

} // namespace quorvane
