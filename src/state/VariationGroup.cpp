#include "VariationGroup.h"

#include "engine/Text.h"

#include <algorithm>

namespace quorvane {

VariationGroup::VariationGroup(int count, std::stop_token parent)
    : count_(count)
    , parentLink_(std::move(parent), [source = source_]() mutable { source.request_stop(); }) {}

bool VariationGroup::record(int index, WorkResult<std::string> result) {
    ++ended_;
    if (result.failed()) {
        if (!failure_) {
            failure_ = result.error();
        }
        source_.request_stop();
    } else {
        texts_.emplace_back(index, result.value());
    }
    return ended_ >= count_;
}

std::vector<std::string> VariationGroup::keptTexts() const {
    auto ordered = texts_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> texts;
    for (auto& [index, text] : ordered) {
        if (!Text::isBlank(text)) {
            texts.push_back(std::move(text));
        }
    }
    return texts;
}

} // namespace quorvane
