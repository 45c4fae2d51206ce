#pragma once

#include "Pasteboard.h"

namespace quorvane {

// A pasteboard held in memory, for tests and for processes without a display.
class InMemoryPasteboard final : public Pasteboard {
public:
    long changeCount() const override { return changeCount_; }
    std::optional<std::string> string() const override {
        ++reads_;
        return contents_;
    }
    // How often the contents were read, each of which would ask the owner of a real clipboard.
    int reads() const { return reads_; }

    void clearContents() override {
        contents_.reset();
        ++changeCount_;
    }

    void setString(const std::string& text) override {
        contents_ = text;
        ++changeCount_;
    }

private:
    long changeCount_ = 0;
    std::optional<std::string> contents_;
    mutable int reads_ = 0;
};

} // namespace quorvane
