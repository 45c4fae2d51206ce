// The version text of the settings window: release version and build number
// from the information dictionary, as "1.2 (7)".
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace quorvane {

class ApplicationInfo;

class AboutVersion {
public:
    // A missing part shows as a question mark.
    static QString text(const std::optional<std::string>& shortVersion,
                        const std::optional<std::string>& build);
    static QString text(const ApplicationInfo& info);
};

} // namespace quorvane
