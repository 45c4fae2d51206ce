// The libcurl share handle behind every transfer of a session: one cache of
// connections, DNS results and TLS sessions, locked so that transfers on
// several threads may use it at once.
#pragma once

#include <curl/curl.h>

#include <array>
#include <mutex>

namespace quorvane {

class CurlShare {
public:
    CurlShare();
    ~CurlShare();

    CurlShare(const CurlShare&) = delete;
    CurlShare& operator=(const CurlShare&) = delete;

    CURLSH* handle() const { return share_; }

private:
    static void lock(CURL* easy, curl_lock_data data, curl_lock_access access, void* self);
    static void unlock(CURL* easy, curl_lock_data data, void* self);

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
};

} // namespace quorvane
