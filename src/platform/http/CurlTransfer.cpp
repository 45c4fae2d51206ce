#include "CurlTransfer.h"

#include "HttpTransportError.h"
#include "platform/task/CancellationError.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace quorvane {

namespace {

// Long enough to sleep through a quiet wait, short enough that a lost wake-up
// could never hold a cancelled transfer for long.
constexpr int pollIntervalMilliseconds = 100;

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view trimmedField(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool hasHeader(const HttpRequest& request, std::string_view name) {
    for (const auto& header : request.headers) {
        if (sameName(header.first, name)) {
            return true;
        }
    }
    return false;
}

} // namespace

CurlTransfer::CurlTransfer(CurlShare& share, const HttpRequest& request,
                           std::chrono::milliseconds timeout)
    : curl_(share.curl())
    , share_(share)
    , headerList_(nullptr, ListDeleter{.freeAll = curl_.slistFreeAll})
    , handles_(share) {
    if (!handles_.configured()) {
        setSharedOptions();
    }
    // Until this transfer has put its own options back, the handle must be reset.
    handles_.setConfigured(false);
    curl_.easySetopt(handles_.easy(), CURLOPT_URL, request.url.c_str());
    curl_.easySetopt(handles_.easy(), CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_.easySetopt(handles_.easy(), CURLOPT_TIMEOUT_MS,
                     static_cast<long>(std::max<std::int64_t>(1, timeout.count())));
    curl_.easySetopt(handles_.easy(), CURLOPT_HEADERDATA, this);
    curl_.easySetopt(handles_.easy(), CURLOPT_WRITEDATA, this);
    setMethodAndBody(request);
    setHeaders(request);
}

CurlTransfer::~CurlTransfer() = default;

// The options of every transfer, kept by the handle from one to the next.
void CurlTransfer::setSharedOptions() {
    curl_.easySetopt(handles_.easy(), CURLOPT_SHARE, share_.handle());
    curl_.easySetopt(handles_.easy(), CURLOPT_NOSIGNAL, 1L);
    // Only the web: a URL of another scheme must never read a file or speak
    // another protocol on the user's behalf.
    curl_.easySetopt(handles_.easy(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_.easySetopt(handles_.easy(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_.easySetopt(handles_.easy(), CURLOPT_FOLLOWLOCATION, 0L);
    curl_.easySetopt(handles_.easy(), CURLOPT_SSL_VERIFYPEER, 1L);
    curl_.easySetopt(handles_.easy(), CURLOPT_SSL_VERIFYHOST, 2L);
    curl_.easySetopt(handles_.easy(), CURLOPT_ACCEPT_ENCODING, "");
    curl_.easySetopt(handles_.easy(), CURLOPT_USERAGENT, "Quorvane/" QUORVANE_VERSION);
    curl_.easySetopt(handles_.easy(), CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_.easySetopt(handles_.easy(), CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
}

// Everything the constructor and setMethodAndBody() set for this request
// alone, back to what a fresh handle has. The URL and the time-out are
// always set anew.
void CurlTransfer::forgetRequest() {
    CURL* easy = handles_.easy();
    curl_.easySetopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    curl_.easySetopt(easy, CURLOPT_HEADERDATA, nullptr);
    curl_.easySetopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_.easySetopt(easy, CURLOPT_HTTPHEADER, nullptr);
    curl_.easySetopt(easy, CURLOPT_POSTFIELDS, nullptr);
    curl_.easySetopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t{-1});
    curl_.easySetopt(easy, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_.easySetopt(easy, CURLOPT_NOBODY, 0L);
    curl_.easySetopt(easy, CURLOPT_HTTPGET, 1L);
    handles_.setConfigured(true);
}

void CurlTransfer::setMethodAndBody(const HttpRequest& request) {
    if (request.method == "HEAD") {
        expectsBody_ = false;
        curl_.easySetopt(handles_.easy(), CURLOPT_NOBODY, 1L);
        return;
    }
    if (request.method == "POST" || !request.body.empty()) {
        // Not copied: the request outlives the transfer, which reads the body only while it runs.
        curl_.easySetopt(handles_.easy(), CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_.easySetopt(handles_.easy(), CURLOPT_POSTFIELDS, request.body.data());
        if (request.method != "POST") {
            curl_.easySetopt(handles_.easy(), CURLOPT_CUSTOMREQUEST, request.method.c_str());
        }
        return;
    }
    curl_.easySetopt(handles_.easy(), CURLOPT_HTTPGET, 1L);
    if (request.method != "GET") {
        curl_.easySetopt(handles_.easy(), CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
}

void CurlTransfer::setHeaders(const HttpRequest& request) {
    auto append = [this](const std::string& line) {
        curl_slist* extended = curl_.slistAppend(headerList_.get(), line.c_str());
        if (extended == nullptr) {
            throw HttpTransportError("Out of memory: cannot hold the request headers");
        }
        // Appending returns the same head once the list exists.
        (void)headerList_.release();
        headerList_.reset(extended);
    };
    for (const auto& [name, value] : request.headers) {
        // "Name;" is libcurl's spelling of a header sent with an empty value.
        append(value.empty() ? name + ";" : name + ": " + value);
    }
    // Without this libcurl waits for "100 Continue" before sending a large body.
    if (!hasHeader(request, "Expect")) {
        append("Expect:");
    }
    curl_.easySetopt(handles_.easy(), CURLOPT_HTTPHEADER, headerList_.get());
}

CurlTransferResult CurlTransfer::perform(std::stop_token stop) {
    if (stop.stop_requested()) {
        throw CancellationError();
    }
    const auto outcome = run(stop);
    if (!outcome) {
        throw CancellationError();
    }
    const CURLcode code = *outcome;
    if (bodyTooLarge_) {
        throw HttpTransportError("The response body exceeds 32 MiB and was refused");
    }
    if (code != CURLE_OK) {
        throw HttpTransportError(describe(code));
    }
    CurlTransferResult result;
    curl_.easyGetinfo(handles_.easy(), CURLINFO_RESPONSE_CODE, &response_.statusCode);
    char* location = nullptr;
    if (curl_.easyGetinfo(handles_.easy(), CURLINFO_REDIRECT_URL, &location) == CURLE_OK &&
        location) {
        result.location = std::string(location);
    }
    result.response = std::move(response_);
    // Only a transfer that ended cleanly spares the next one a reset.
    forgetRequest();
    return result;
}

std::optional<CURLcode> CurlTransfer::run(std::stop_token stop) {
    CURLM* multi = handles_.multi();
    if (curl_.multiAddHandle(multi, handles_.easy()) != CURLM_OK) {
        throw HttpTransportError("Out of memory: libcurl could not start a transfer");
    }
    std::atomic<bool> stopRequested = false;
    CURLcode result = CURLE_OK;
    bool done = false;
    {
        // Gone before the multi handle goes back to the pool, to another transfer.
        std::stop_callback wake(stop, [&] {
            stopRequested = true;
            curl_.multiWakeup(multi);
        });
        while (!done && !stopRequested) {
            int running = 0;
            if (curl_.multiPerform(multi, &running) != CURLM_OK) {
                break;
            }
            int queued = 0;
            while (CURLMsg* message = curl_.multiInfoRead(multi, &queued)) {
                if (message->msg == CURLMSG_DONE) {
                    result = message->data.result;
                    done = true;
                }
            }
            if (!done && !stopRequested) {
                curl_.multiPoll(multi, nullptr, 0, pollIntervalMilliseconds, nullptr);
            }
        }
    }
    curl_.multiRemoveHandle(multi, handles_.easy());
    if (done) {
        return result;
    }
    if (stopRequested) {
        return std::nullopt;
    }
    return CURLE_FAILED_INIT;
}

std::string CurlTransfer::describe(CURLcode code) const {
    std::string description = curl_.easyStrerror(code);
    const auto detail = trimmedField(errorBuffer_);
    if (!detail.empty() && detail != description) {
        description += ": ";
        description += detail;
    }
    return description;
}

std::size_t CurlTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    const std::size_t length = size * count;
    auto* transfer = static_cast<CurlTransfer*>(self);
    return transfer->acceptHeaderLine(std::string_view(data, length)) ? length : 0;
}

bool CurlTransfer::acceptHeaderLine(std::string_view line) {
    // Every status line starts a new response (an interim 100, a proxy's
    // answer): only the headers of the last one are the response's.
    if (line.starts_with("HTTP/")) {
        response_.headers.clear();
        return true;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        return true;
    }
    const std::string_view name = trimmedField(line.substr(0, colon));
    const std::string_view value = trimmedField(line.substr(colon + 1));
    if (expectsBody_ && sameName(name, "Content-Length")) {
        std::uint64_t declared = 0;
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), declared);
        if (parsed.ec == std::errc::result_out_of_range ||
            (parsed.ec == std::errc() && declared > maximumBodySize)) {
            bodyTooLarge_ = true;
            return false;
        }
        if (parsed.ec == std::errc()) {
            response_.body.reserve(static_cast<std::size_t>(declared) + HttpResponse::bodySpare);
        }
    }
    response_.headers.emplace_back(std::string(name), std::string(value));
    return true;
}

std::size_t CurlTransfer::onBody(char* data, std::size_t size, std::size_t count, void* self) {
    const std::size_t length = size * count;
    auto* transfer = static_cast<CurlTransfer*>(self);
    if (transfer->response_.body.size() + length > maximumBodySize) {
        transfer->bodyTooLarge_ = true;
        return 0;
    }
    transfer->response_.body.append(data, length);
    return length;
}

} // namespace quorvane
