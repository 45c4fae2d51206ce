// Orders version strings the way update feeds expect: runs of digits compare
// as numbers, runs of letters as text (ignoring case), every other character
// only separates runs, and anything from the first "-" on is ignored. Missing
// numbers count as zero, so "1.0" equals "1.0.0", while a trailing run of
// letters marks a pre-release, so "1.0" is newer than "1.0b1".
#pragma once

#include <string_view>

namespace quorvane {

class VersionComparator {
public:
    // Negative when a is older than b, zero when they are equal, positive when a is newer.
    static int compare(std::string_view a, std::string_view b);
};

} // namespace quorvane
