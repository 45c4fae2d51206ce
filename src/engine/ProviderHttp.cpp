#include "ProviderHttp.h"

#include "NetworkJson.h"
#include "ProviderError.h"
#include "Text.h"
#include "platform/http/HttpSession.h"
#include "platform/http/HttpTransportError.h"
#include "platform/task/CancellationError.h"

#include <algorithm>
#include <cctype>

namespace quorvane {

namespace {

HttpResponse transfer(HttpSession& session, const HttpRequest& request, std::stop_token stop) {
    try {
        return session.send(request, stop);
    } catch (const HttpTransportError& error) {
        throw ProviderError::network(error.what());
    }
}

// A 2xx reply that reports a failure but no status: the service behind failed.
constexpr int unreportedFailureStatus = 502;

constexpr std::string_view keyStandIn = "[redacted]";

// Shorter keys turn up inside ordinary words ("e", "Rate") far more often
// than they are a secret a service quoted back, and blanking them everywhere
// would make the message unreadable. They are blanked only where they stand
// as a whole token and do not read as a plain word (see standsAsKey).
constexpr std::size_t shortestKeyBlankedEverywhere = 8;

std::string replacingAll(std::string text, std::string_view from, std::string_view to) {
    for (auto found = text.find(from); found != std::string::npos;
         found = text.find(from, found + to.size())) {
        text.replace(found, from.size(), to);
    }
    return text;
}

bool isKeyCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.';
}

// A short key that is all letters ("Rate", "limit") is too likely a word of
// the message itself; one with a digit or a separator ("sk-1234", a common
// default of self-hosted proxies) is not.
bool readsAsWord(std::string_view key) {
    return std::none_of(key.begin(), key.end(), [](char c) {
        return isKeyCharacter(c) && std::isalpha(static_cast<unsigned char>(c)) == 0;
    });
}

// The key at `at` is not part of a longer run of key characters. Full stops
// right after it end the sentence ("Invalid key sk-1234."), not the key.
bool standsAsKey(std::string_view text, std::size_t at, std::size_t length) {
    if (at > 0 && isKeyCharacter(text[at - 1])) {
        return false;
    }
    auto end = at + length;
    while (end < text.size() && text[end] == '.') {
        ++end;
    }
    return end == text.size() || !isKeyCharacter(text[end]);
}

std::string replacingTokens(std::string text, std::string_view key) {
    for (auto found = text.find(key); found != std::string::npos;) {
        if (!standsAsKey(text, found, key.size())) {
            found = text.find(key, found + 1);
            continue;
        }
        text.replace(found, key.size(), keyStandIn);
        found = text.find(key, found + keyStandIn.size());
    }
    return text;
}

// The error body as the http error may carry it. A service that quotes the
// key back in its error message would otherwise put it in the banner and in
// the log line that ends the request. Only the message that is shown is
// searched, after it is decoded from the body (so every escaping of the key
// is found) and before it is cut to length (so no part of the key is left at
// the cut); the body is then replaced by one that carries the blanked message
// alone. A body whose message does not hold the key is kept as it came.
std::string withoutEchoedKey(std::string body, const std::optional<std::string>& key) {
    if (!key || key->empty()) {
        return body;
    }
    const bool shortKey = key->size() < shortestKeyBlankedEverywhere;
    if (shortKey && readsAsWord(*key)) {
        return body;
    }
    const std::string message = ProviderError::bodyMessage(body);
    if (message.find(*key) == std::string::npos) {
        return body;
    }
    const std::string blanked =
        shortKey ? replacingTokens(message, *key) : replacingAll(message, *key, keyStandIn);
    if (blanked == message) {
        return body;
    }
    if (!shortKey && blanked.find(*key) != std::string::npos) {
        return {};
    }
    return R"({"error":{"message":)" + NetworkJson::quoted(blanked) + "}}";
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
        throw failure(static_cast<int>(response.statusCode), std::move(body), key);
    }
    return std::move(response.body);
}

ProviderError ProviderHttp::failure(int status, std::string body,
                                    const std::optional<std::string>& key) {
    return ProviderError::http(status, withoutEchoedKey(std::move(body), key));
}

ProviderError ProviderHttp::failureInReply(std::optional<int> reportedStatus, std::string body,
                                           const std::optional<std::string>& key) {
    return failure(reportedStatus.value_or(unreportedFailureStatus), std::move(body), key);
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
