#include "ProviderHttp.h"

#include "NetworkJson.h"
#include "ProviderError.h"
#include "Text.h"
#include "platform/http/HttpSession.h"
#include "platform/http/HttpTransportError.h"
#include "platform/task/CancellationError.h"

#include <algorithm>

namespace quorvane {

namespace {

HttpResponse transfer(HttpSession& session, const HttpRequest& request, std::stop_token stop) {
    try {
        return session.send(request, stop);
    } catch (const HttpTransportError& error) {
        throw ProviderError::network(error.what());
    }
}

constexpr std::string_view keyStandIn = "[redacted]";

std::string replacingAll(std::string text, std::string_view from, std::string_view to) {
    for (auto found = text.find(from); found != std::string::npos;
         found = text.find(from, found + to.size())) {
        text.replace(found, from.size(), to);
    }
    return text;
}

// Some JSON writers escape every "/", which base64 keys contain.
std::string withEscapedSlashes(std::string_view key) {
    return replacingAll(std::string(key), "/", "\\/");
}

// The error body as the http error may carry it. A service that quotes the
// key back in its error message would otherwise put it in the banner and in
// the log line that ends the request, so the key is blanked out of the body;
// when the message still shows it (escaped some other way) the body is
// dropped. A body whose message does not show the key is kept as it came.
std::string withoutEchoedKey(std::string body, const std::optional<std::string>& key) {
    if (!key || key->empty()) {
        return body;
    }
    const std::string shown = ProviderError::extractMessage(body);
    std::string blanked =
        replacingAll(replacingAll(body, *key, keyStandIn), withEscapedSlashes(*key), keyStandIn);
    if (blanked == body) {
        return shown.find(*key) == std::string::npos ? body : std::string{};
    }
    const std::string blankedShown = ProviderError::extractMessage(blanked);
    if (blankedShown.find(*key) != std::string::npos) {
        return {};
    }
    return blankedShown == shown ? body : blanked;
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

std::string ProviderHttp::send(HttpSession& session, const HttpRequest& request,
                               std::stop_token stop, const std::optional<std::string>& key) {
    if (stop.stop_requested()) {
        throw CancellationError{};
    }
    HttpResponse response = transfer(session, request, stop);
    if (response.statusCode == 0) {
        throw ProviderError::network("No HTTP response");
    }
    if (response.statusCode < 200 || response.statusCode > 299) {
        std::string body = Text::isValidUTF8(response.body) ? std::move(response.body) : "";
        throw ProviderError::http(static_cast<int>(response.statusCode),
                                  withoutEchoedKey(std::move(body), key));
    }
    return std::move(response.body);
}

std::optional<std::string> ProviderHttp::headerSafeKey(const std::optional<std::string>& key) {
    if (!key) {
        return std::nullopt;
    }
    std::string trimmed = Text::trimmed(*key);
    if (trimmed.empty() || std::any_of(trimmed.begin(), trimmed.end(), isControl)) {
        return std::nullopt;
    }
    return trimmed;
}

std::vector<std::string> ProviderHttp::modelIdentifiers(std::string_view body) {
    const auto json = NetworkJson::parse(body);
    if (!json || !json->is_object()) {
        throw ProviderError::emptyResponse();
    }
    const auto data = json->find("data");
    if (data == json->end() || !data->is_array()) {
        throw ProviderError::emptyResponse();
    }
    std::vector<std::string> identifiers;
    for (const auto& element : *data) {
        if (const auto* id = NetworkJson::stringMember(element, "id")) {
            identifiers.push_back(*id);
        }
    }
    if (identifiers.empty()) {
        throw ProviderError::emptyResponse();
    }
    std::sort(identifiers.begin(), identifiers.end());
    return identifiers;
}

} // namespace quorvane
