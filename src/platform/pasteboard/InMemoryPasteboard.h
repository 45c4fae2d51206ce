#pragma once

#include "Pasteboard.h"

namespace quorvane {

// A pasteboard held in memory, for tests and for processes without a display.
class InMemoryPasteboard final : public Pasteboard {
public:
    long changeCount() const override { return changeCount_; }
    std::optional<std::string> string() const override { return contents_; }

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
};

} // namespace quorvane
