#include "ui/windows/AboutVersion.h"

#include "platform/appinfo/ApplicationInfo.h"

namespace quorvane {

namespace {

QString partOrQuestionMark(const std::optional<std::string>& part) {
    return part ? QString::fromStdString(*part) : QStringLiteral("?");
}

} // namespace

QString AboutVersion::text(const std::optional<std::string>& shortVersion,
                           const std::optional<std::string>& build) {
    return partOrQuestionMark(shortVersion) + QStringLiteral(" (") + partOrQuestionMark(build) +
           QStringLiteral(")");
}

QString AboutVersion::text(const ApplicationInfo& info) {
    return text(info.infoValue("CFBundleShortVersionString"), info.infoValue("CFBundleVersion"));
}

} // namespace quorvane
