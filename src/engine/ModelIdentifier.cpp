#include "ModelIdentifier.h"

#include <algorithm>

namespace quorvane {

namespace {

constexpr std::string_view defaultTag = ":latest";

bool isTagged(std::string_view tagged, std::string_view plain) {
    return tagged.size() == plain.size() + defaultTag.size() && tagged.starts_with(plain) &&
           tagged.ends_with(defaultTag);
}

} // namespace

bool ModelIdentifier::same(std::string_view a, std::string_view b) {
    return a == b || isTagged(a, b) || isTagged(b, a);
}

std::optional<std::size_t> ModelIdentifier::listedIndex(std::string_view model,
                                                        const std::vector<std::string>& models) {
    auto found = std::find(models.begin(), models.end(), model);
    if (found == models.end()) {
        found = std::find_if(models.begin(), models.end(),
                             [&](const std::string& listed) { return same(model, listed); });
    }
    if (found == models.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - models.begin());
}

bool ModelIdentifier::isListed(std::string_view model, const std::vector<std::string>& models) {
    return listedIndex(model, models).has_value();
}

} // namespace quorvane
