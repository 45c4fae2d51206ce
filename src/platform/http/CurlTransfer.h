// One HTTP exchange on libcurl, without following redirects: the session
// decides about those itself, so that it can drop credentials on the way.
#pragma once

#include "CurlShare.h"
#include "HttpRequest.h"
#include "HttpResponse.h"

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

namespace quorvane {

struct CurlTransferResult {
    HttpResponse response;
    // The absolute target of a Location header, when the response has one.
    std::optional<std::string> location;
};

class CurlTransfer {
public:
    // Bodies above this size are refused rather than held in memory.
    static constexpr std::size_t maximumBodySize = std::size_t{32} * 1024 * 1024;

    // The request's headers must already be checked for line breaks. The
    // request's body is sent from where it is, so the request must outlive
    // the transfer.
    CurlTransfer(CurlShare& share, const HttpRequest& request, std::chrono::milliseconds timeout);

    ~CurlTransfer();

    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Runs the exchange once. Throws HttpTransportError when it fails and
    // CancellationError when stop is requested before it completes.
    CurlTransferResult perform(std::stop_token stop);

private:
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);

    void setSharedOptions();
    void setMethodAndBody(const HttpRequest& request);
    // Puts back every option this request set, leaving the shared ones.
    void forgetRequest();
    void setHeaders(const HttpRequest& request);
    bool acceptHeaderLine(std::string_view line);
    // The transfer's result, or nothing when stop came first.
    std::optional<CURLcode> run(std::stop_token stop);
    std::string describe(CURLcode code) const;

    struct ListDeleter {
        decltype(CurlLibrary::Functions::slistFreeAll) freeAll;
        void operator()(curl_slist* list) const { freeAll(list); }
    };

    // Back to the share's pool, reset, when the transfer ends.
    class Lease {
    public:
        explicit Lease(CurlShare& share)
            : share_(share)
            , handles_(share.acquire()) {}
        ~Lease() { share_.release(handles_); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        CURLM* multi() const { return handles_.multi; }
        CURL* easy() const { return handles_.easy; }
        bool configured() const { return handles_.configured; }
        void setConfigured(bool configured) { handles_.configured = configured; }

    private:
        CurlShare& share_;
        CurlHandles handles_;
    };

    const CurlLibrary::Functions& curl_;
    CurlShare& share_;
    // The list outlives the handle's use of it: the lease resets the handle first.
    std::unique_ptr<curl_slist, ListDeleter> headerList_;
    Lease handles_;
    bool expectsBody_ = true;
    bool bodyTooLarge_ = false;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
    HttpResponse response_;
};

} // namespace quorvane
