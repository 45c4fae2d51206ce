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

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

std::string ProviderHttp::send(HttpSession& session, const HttpRequest& request,
                               std::stop_token stop) {
    if (stop.stop_requested()) {
        throw CancellationError{};
    }
    HttpResponse response = transfer(session, request, stop);
    if (response.statusCode == 0) {
        throw ProviderError::network("No HTTP response");
    }
    if (response.statusCode < 200 || response.statusCode > 299) {
        std::string body = Text::isValidUTF8(response.body) ? std::move(response.body) : "";
        throw ProviderError::http(static_cast<int>(response.statusCode), std::move(body));
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
