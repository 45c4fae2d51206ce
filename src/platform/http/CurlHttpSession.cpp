#include "CurlHttpSession.h"

#include "CurlLibrary.h"
#include "CurlShare.h"
#include "CurlTransfer.h"
#include "HttpTransportError.h"
#include "platform/task/CancellationError.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <optional>

namespace quorvane {

namespace {

using Clock = std::chrono::steady_clock;

// Credentials that must stay with the host they were meant for; the crash reporter's header
// carries the DSN's keys.
constexpr std::array<std::string_view, 3> credentialHeaders = {"x-api-key", "Authorization",
                                                               "X-Sentry-Auth"};
// Headers that describe a body, dropped with it when a redirect turns into a GET.
constexpr std::array<std::string_view, 2> bodyHeaders = {"Content-Type", "Content-Length"};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

template <std::size_t N>
void removeHeaders(HttpRequest& request, const std::array<std::string_view, N>& names) {
    std::erase_if(request.headers, [&](const HttpHeader& header) {
        return std::any_of(names.begin(), names.end(),
                           [&](std::string_view name) { return sameName(header.first, name); });
    });
}

bool isSafeHeader(const HttpHeader& header) {
    const auto& [name, value] = header;
    const bool nameSafe = !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7f || c == ':';
    });
    const bool valueSafe = value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
    return nameSafe && valueSafe;
}

// Scheme, host and port: what decides whether two URLs reach the same server.
struct Origin {
    std::string scheme;
    std::string host;
    std::string port;
    bool operator==(const Origin&) const = default;
};

struct UrlDeleter {
    decltype(CurlLibrary::Functions::urlCleanup) cleanup;
    void operator()(CURLU* url) const { cleanup(url); }
};

std::string lowercased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<std::string> urlPart(const CurlLibrary::Functions& curl, CURLU* url, CURLUPart part,
                                   unsigned int flags) {
    char* value = nullptr;
    if (curl.urlGet(url, part, &value, flags) != CURLUE_OK) {
        return std::nullopt;
    }
    std::string text(value);
    curl.free(value);
    return text;
}

std::optional<Origin> originOf(const CurlLibrary::Functions& curl, const std::string& text) {
    std::unique_ptr<CURLU, UrlDeleter> url(curl.url(), UrlDeleter{.cleanup = curl.urlCleanup});
    if (!url || curl.urlSet(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    auto scheme = urlPart(curl, url.get(), CURLUPART_SCHEME, 0);
    auto host = urlPart(curl, url.get(), CURLUPART_HOST, 0);
    auto port = urlPart(curl, url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port) {
        return std::nullopt;
    }
    return Origin{lowercased(*scheme), lowercased(*host), *port};
}

bool isFollowedRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The request to send next for a redirect: a 303 and a 301 or 302 after a
// POST become a GET without a body; 307 and 308 repeat method and body.
void redirect(HttpRequest& hop, long status, const std::string& location) {
    hop.url = location;
    const bool becomesGet = (status == 303 && hop.method != "HEAD") ||
                            ((status == 301 || status == 302) && hop.method == "POST");
    if (becomesGet) {
        hop.method = "GET";
        hop.body.clear();
        removeHeaders(hop, bodyHeaders);
    }
}

std::chrono::milliseconds remainingUntil(Clock::time_point deadline,
                                         std::chrono::milliseconds timeout) {
    const auto remaining =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (remaining.count() <= 0) {
        throw HttpTransportError("Timeout was reached: no answer within " +
                                 std::to_string(timeout.count()) + " milliseconds");
    }
    return remaining;
}

// One exchange, its handles back in the pool before the next hop is prepared.
CurlTransferResult exchange(CurlShare& share, const HttpRequest& request,
                            std::chrono::milliseconds timeout, std::stop_token stop) {
    CurlTransfer transfer(share, request, timeout);
    return transfer.perform(std::move(stop));
}

} // namespace

CurlHttpSession::CurlHttpSession()
    : CurlHttpSession(CurlLibrary::shared()) {}

CurlHttpSession::CurlHttpSession(CurlLibrary& library)
    : library_(library) {}

CurlHttpSession::~CurlHttpSession() = default;

CurlShare& CurlHttpSession::share() {
    const std::lock_guard guard(shareMutex_);
    // Tried again by the next request when it throws; a library that cannot
    // be loaded keeps saying so without being opened again.
    if (!share_) {
        share_ = std::make_unique<CurlShare>(library_);
    }
    return *share_;
}

HttpResponse CurlHttpSession::send(const HttpRequest& request, std::stop_token stop) {
    if (stop.stop_requested()) {
        throw CancellationError();
    }
    if (!std::all_of(request.headers.begin(), request.headers.end(), isSafeHeader)) {
        throw HttpTransportError("A request header holds a line break or an invalid name");
    }
    const auto deadline = Clock::now() + request.timeout;
    CurlShare& share = this->share();
    // Made only once a redirect asks for them: most requests are answered at
    // once, and copying the request would copy its body.
    std::optional<std::optional<Origin>> firstOrigin;
    std::optional<HttpRequest> redirected;
    for (int redirects = 0;; ++redirects) {
        const HttpRequest& hop = redirected ? *redirected : request;
        auto result = exchange(share, hop, remainingUntil(deadline, request.timeout), stop);
        const long status = result.response.statusCode;
        if (!isFollowedRedirect(status) || !result.location) {
            return std::move(result.response);
        }
        if (redirects == maximumRedirects) {
            throw HttpTransportError("Too many HTTP redirects: more than " +
                                     std::to_string(maximumRedirects));
        }
        if (!redirected) {
            redirected = request;
        }
        redirect(*redirected, status, *result.location);
        // Once dropped the credentials stay dropped, even if a later hop
        // leads back: the host that redirected chose that way back.
        if (!firstOrigin) {
            firstOrigin = originOf(share.curl(), request.url);
        }
        if (!*firstOrigin || originOf(share.curl(), redirected->url) != *firstOrigin) {
            removeHeaders(*redirected, credentialHeaders);
        }
        if (stop.stop_requested()) {
            throw CancellationError();
        }
    }
}

} // namespace quorvane
