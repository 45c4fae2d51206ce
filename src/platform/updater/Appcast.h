// Reads an update feed: an RSS 2.0 channel whose items describe releases in
// the updater's XML namespace ("sparkle:version", "sparkle:shortVersionString",
// "sparkle:releaseNotesLink"), each with an <enclosure> to download.
#pragma once

#include "AppcastItem.h"
#include "platform/http/Url.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quorvane {

class Appcast {
public:
    static constexpr std::string_view sparkleNamespace =
        "http://www.andymatuschak.org/xml-namespaces/sparkle";

    // The usable items in feed order; nothing when the text is not an RSS
    // feed. Items without a version or without an http or https download are
    // left out, as are items on a release channel ("sparkle:channel") and
    // items for another system ("sparkle:os" other than "linux"); a
    // release-notes link of another scheme is dropped. Relative links resolve
    // against feedUrl; raw spaces in links are percent-encoded.
    static std::optional<std::vector<AppcastItem>> parse(std::string_view xml, const Url& feedUrl);

    // The item with the highest version; the first of equal ones.
    static std::optional<AppcastItem> newest(const std::vector<AppcastItem>& items);

    // Only http and https links are followed or offered.
    static bool isWebUrl(const Url& url);
};

} // namespace quorvane
