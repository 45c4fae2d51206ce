// The program and the shared objects mapped into this process, as a crash report names them:
// where each is loaded, how large it is, its build id (which lets the reporting service find
// its symbols) and its path with nothing personal in it.
#pragma once

#include "CrashRecord.h"

#include <string>
#include <vector>

namespace quorvane {

class LoadedImages {
public:
    // The dynamic loader's running counts of loads and unloads: while they stay the same, so
    // does the list.
    struct Counters {
        unsigned long long loads = 0;
        unsigned long long unloads = 0;

        bool operator==(const Counters&) const = default;
    };

    // Who the user is, as far as a path could give it away.
    struct Identity {
        std::vector<std::string> homeFolders;
        std::vector<std::string> userNames;
    };

    static Counters counters();
    // The program first, then the shared objects in load order; paths anonymised for the
    // identity of this process.
    static std::vector<CrashImage> gather();

    // $HOME, the account's home folder and their real paths; $USER, $LOGNAME and the account's
    // name.
    static Identity currentIdentity();

    // A path under a home folder, or with a folder named like the user, is cut to its file
    // name; a file named like the user is not named at all. Other paths are kept whole.
    static std::string anonymisedPath(const std::string& path, const Identity& identity);
};

} // namespace quorvane
