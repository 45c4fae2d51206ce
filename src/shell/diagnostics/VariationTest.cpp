#include "VariationTest.h"

#include "ReportWriter.h"
#include "engine/Text.h"

#include <set>
#include <string>

namespace quorvane {

namespace {

void report(const AppState& state) {
    const auto& variations = state.variations();
    const std::set<std::string> distinct(variations.begin(), variations.end());
    std::string lengths;
    for (const std::string& text : variations) {
        if (!lengths.empty()) {
            lengths += ", ";
        }
        lengths += std::to_string(Text::characterCount(text));
    }
    ReportWriter::write("VARIATIONS count=" + std::to_string(variations.size()) + " distinct=" +
                        std::to_string(distinct.size()) + " lens=[" + lengths + "]\n");
}

} // namespace

void VariationTest::run(const DiagnosticContext& context) {
    AppState& state = context.state;
    state.setInputText("a cli that renames files by exif date");
    state.generateVariations(3, [&state, terminate = context.terminate] {
        report(state);
        terminate();
    });
}

} // namespace quorvane
