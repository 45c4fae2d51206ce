// The application's information dictionary, fixed when the program is built:
// "CFBundleShortVersionString" (the release version), "CFBundleVersion" (the
// build number), "SENTRY_DSN" and "SUFeedURL" (empty unless the build sets
// them). The definitions are generated from InfoDictionary.cpp.in.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace quorvane {

class InfoDictionary {
public:
    using Entries = std::map<std::string, std::string, std::less<>>;

    static const Entries& entries();

    // Where the installed program keeps its read-only data files
    // (<prefix>/share/quorvane).
    static std::string_view installedDataDirectory();
};

} // namespace quorvane
