// One run of the variations flow as the main thread sees it: the children
// report here as they end, in whatever order they finish; the group keeps
// their texts by index and the first failure, and tells when the last child
// has ended.
#pragma once

#include "WorkResult.h"

#include <exception>
#include <functional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

class VariationGroup {
public:
    // The children stop with `parent` (the flow's slot) or on the first failure.
    VariationGroup(int count, std::stop_token parent);

    VariationGroup(const VariationGroup&) = delete;
    VariationGroup& operator=(const VariationGroup&) = delete;

    int count() const { return count_; }

    // What the children run under; a child that fails stops its siblings through it.
    std::stop_source stopSource() const { return source_; }

    // Records the end of child `index`; true once every child has ended.
    // A failure stops the children still running.
    bool record(int index, WorkResult<std::string> result);

    // The failure recorded first, or null when every child succeeded.
    const std::exception_ptr& failure() const { return failure_; }

    // The texts in index order, as received, leaving out blank ones.
    std::vector<std::string> keptTexts() const;

private:
    int count_;
    int ended_ = 0;
    std::stop_source source_;
    std::stop_callback<std::function<void()>> parentLink_;
    std::vector<std::pair<int, std::string>> texts_;
    std::exception_ptr failure_;
};

} // namespace quorvane
