#include "KeyProbe.h"

#include "ReportWriter.h"
#include "engine/EnumTraits.h"
#include "engine/ProviderID.h"
#include "state/DeviceKey.h"
#include "state/KeyStore.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace quorvane {

namespace {

constexpr std::string_view probeKey = "sk-turnabout-qpm";

std::string valueOrNil(const std::optional<std::string>& value) {
    return value.value_or("nil");
}

std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::string octalPermissions(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) {
        return "nil";
    }
    const auto bits = static_cast<unsigned>(status.permissions() & std::filesystem::perms::mask);
    char text[8];
    std::snprintf(text, sizeof text, "%o", bits);
    return text;
}

bool hostIdentifierNonZero() {
    const auto bytes = DeviceKey().hostUUID();
    return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte != 0; });
}

std::string cryptoReport() {
    std::error_code ignored;
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path(ignored) / "thrim-crypto";
    const std::filesystem::path file = directory / std::string(KeyStore::fileName);

    const auto preRead = KeyStore(directory).key(ProviderID::openAI);
    KeyStore(directory).setKey(probeKey, ProviderID::openAI);
    const auto freshRead = KeyStore(directory).key(ProviderID::openAI);

    const std::string bytes = fileBytes(file);
    const bool leaks = bytes.find(probeKey) != std::string::npos;
    return "CRYPTO hostUUIDnonzero=" + ReportWriter::boolean(hostIdentifierNonZero()) +
           " preRead=" + valueOrNil(preRead) + " freshRead=" + valueOrNil(freshRead) +
           " ciphertextLeaksPlaintext=" + ReportWriter::boolean(leaks) +
           " bytes=" + std::to_string(bytes.size()) + " perms=" + octalPermissions(file) + "\n";
}

std::string keySource(const KeyStore& keys, ProviderID id) {
    if (const auto stored = keys.key(id); stored && !stored->empty()) {
        return "stored";
    }
    return environmentAPIKey(id) ? "environment" : "none";
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ",") + name;
    }
    return text;
}

} // namespace

void KeyProbe::run(const DiagnosticContext& context) {
    ReportWriter::write(cryptoReport());
    for (const auto& [id, raw] : EnumTraits<ProviderID>::cases) {
        const auto& names = environmentVariableNames(id);
        if (names.empty()) {
            continue;
        }
        ReportWriter::write("KEY " + std::string(raw) + ": " +
                            keySource(context.state.keyStore(), id) + " [vars=" + joined(names) +
                            "]\n");
    }
    context.terminate();
}

} // namespace quorvane
