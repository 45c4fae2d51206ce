#pragma once

#include <optional>
#include <string>

namespace quorvane {

// The general clipboard, as the state object sees it: plain text only.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Goes up once for every change of the contents, our own writes included.
    virtual long changeCount() const = 0;
    virtual std::optional<std::string> string() const = 0;
    virtual void clearContents() = 0;
    virtual void setString(const std::string& text) = 0;
};

} // namespace quorvane
