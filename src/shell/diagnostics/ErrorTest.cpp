#include "ErrorTest.h"

#include "ReportWriter.h"
#include "engine/ProviderError.h"

#include <string>
#include <string_view>

namespace quorvane {

namespace {

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

} // namespace

void ErrorTest::run(const DiagnosticContext& context) {
    const std::string json =
        ProviderError::http(401, R"({"error":{"type":"authentication_error",)"
                                 R"("message":"invalid x-api-key","secret":"sk-TQVB481"}})")
            .errorDescription();
    const std::string raw =
        ProviderError::http(500, "Internal Server Error sk-WJRN927 stacktrace...")
            .errorDescription();
    ReportWriter::write(
        "ERRORTEST jsonShowsMessage=" + ReportWriter::boolean(contains(json, "invalid x-api-key")) +
        " jsonHidesSecret=" + ReportWriter::boolean(!contains(json, "sk-TQVB481")) +
        " jsonHidesType=" + ReportWriter::boolean(!contains(json, "authentication_error")) +
        " rawHidesBody=" + ReportWriter::boolean(!contains(raw, "sk-WJRN927")) +
        " rawStatusOnly=" + ReportWriter::boolean(raw == "Request failed (HTTP 500).") +
        " | json=\"" + json + "\" raw=\"" + raw + "\"\n");
    context.terminate();
}

} // namespace quorvane
