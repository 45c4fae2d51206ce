// The libcurl share handle behind every transfer of a session: one cache of
// DNS results and TLS sessions, locked so that transfers on several threads
// may use it at once. Connections are not shared: libcurl does not support a
// shared connection cache under concurrent threads, and the variations run
// three requests at once. Each kept pair of handles holds its own connections
// instead, so the multi and easy handles of finished transfers are kept for
// the next ones; creating a multi handle (with its wake-up socket pair) also
// costs more than a loopback request.
#pragma once

#include "CurlLibrary.h"

#include <curl/curl.h>

#include <array>
#include <cstddef>
#include <mutex>
#include <vector>

namespace quorvane {

// The handles one transfer runs on; each transfer in flight has its own.
struct CurlHandles {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    // Whether the easy handle holds the options every transfer shares and
    // none of a particular request: set by a transfer that ended cleanly and
    // put its own options back, so the next one need not set them again.
    bool configured = false;
};

class CurlShare {
public:
    // Idle handle pairs kept for reuse; more are closed when they come back.
    static constexpr std::size_t maximumIdleHandles = 8;

    // The first share loads the library. Throws HttpTransportError when the
    // library cannot be used or cannot create a share handle.
    explicit CurlShare(CurlLibrary& library);
    ~CurlShare();

    CurlShare(const CurlShare&) = delete;
    CurlShare& operator=(const CurlShare&) = delete;

    CURLSH* handle() const { return share_; }
    const CurlLibrary::Functions& curl() const { return curl_; }

    // A pair no other transfer holds, its easy handle in default state or,
    // when marked configured, holding only the shared options. Throws
    // HttpTransportError when libcurl cannot create one.
    CurlHandles acquire();
    // The easy handle must no longer be in the multi handle. One not marked
    // configured is reset to default state.
    void release(CurlHandles handles);

private:
    static void lock(CURL* easy, curl_lock_data data, curl_lock_access access, void* self);
    static void unlock(CURL* easy, curl_lock_data data, void* self);
    void close(CurlHandles handles) const;

    const CurlLibrary::Functions& curl_;
    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
    std::mutex idleMutex_;
    std::vector<CurlHandles> idle_;
};

} // namespace quorvane
