// What the two HTTP providers share: sending a request under the response
// rules (cancellation passed on, transport failures and non-2xx statuses as
// ProviderError, as is an error object in a 2xx reply), the check that a key
// may go into a header, and the models-list reply.
#pragma once

#include "ProviderError.h"
#include "platform/http/HttpRequest.h"

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class HttpSession;

class ProviderHttp {
public:
    // The body of a 2xx response. Throws CancellationError when stopped,
    // network for a failed transfer or no HTTP answer, http for any other status.
    // The key the request carries never reaches the message of an http error,
    // even when the service quotes it back in its error message; a key shorter
    // than eight characters is blanked where it stands as a whole token, unless
    // it is letters alone and so reads as a word of the message.
    static std::string send(HttpSession& session, const HttpRequest& request, std::stop_token stop,
                            const std::optional<std::string>& key = std::nullopt);

    // The http error for a failed request with this status and (UTF-8) body,
    // with the key blanked out of the message as send() does.
    static ProviderError failure(int status, std::string body,
                                 const std::optional<std::string>& key);

    // The http error for a 2xx reply whose body carries an error object, as
    // services that fail once the answer has begun send it: the status the
    // object reports, or 502 when it reports none (the service behind failed),
    // with the key blanked as failure() does.
    static ProviderError failureInReply(std::optional<int> reportedStatus, std::string body,
                                        const std::optional<std::string>& key);

    // The key trimmed, or nothing when it is absent, blank or holds a control
    // character: a line break in a stored key would otherwise let it write
    // further headers into the request.
    static std::optional<std::string> headerSafeKey(const std::optional<std::string>& key);

    // The "id" texts of the "data" array, sorted ascending (byte order, so
    // upper case first; duplicates kept). Throws emptyResponse when there are none.
    static std::vector<std::string> modelIdentifiers(std::string_view body);
};

} // namespace quorvane
