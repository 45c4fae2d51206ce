// The fixed web and mail links of the product, shown by the panel footer and
// the settings window.
#pragma once

#include <string_view>

namespace quorvane {

struct Links {
    static constexpr std::string_view sponsor = "https://github.com/sponsors/velmoro";
    static constexpr std::string_view donate = "https://buymeacoffee.com/velmoro";
    static constexpr std::string_view website = "https://velmoro.net/app/quorvane";
    static constexpr std::string_view privacy = "https://velmoro.net/app/quorvane/privacy";
    static constexpr std::string_view supportMail = "mailto:support@velmoro.net";
};

} // namespace quorvane
