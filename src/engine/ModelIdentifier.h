// Model identifiers as people type them and as services list them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class ModelIdentifier {
public:
    // Whether the two name the same model: the same text, or one of them the
    // other with the tag ":latest", which the local model server lists for
    // every model pulled without a tag.
    static bool same(std::string_view a, std::string_view b);

    // Where the list holds the model: its own spelling, else the first entry
    // that names it under the other; nothing when the list does not hold it.
    static std::optional<std::size_t> listedIndex(std::string_view model,
                                                  const std::vector<std::string>& models);

    // Whether the list holds the model under either spelling.
    static bool isListed(std::string_view model, const std::vector<std::string>& models);
};

} // namespace quorvane
