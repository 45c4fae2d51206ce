#include "CurlShare.h"

#include <stdexcept>

namespace quorvane {

namespace {

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            throw std::runtime_error("libcurl failed to initialise");
        }
    });
}

} // namespace

CurlShare::CurlShare() {
    initialiseCurlOnce();
    share_ = curl_share_init();
    if (share_ == nullptr) {
        throw std::runtime_error("libcurl could not create a share handle");
    }
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlShare::lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlShare::unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
}

CurlShare::~CurlShare() {
    curl_share_cleanup(share_);
}

void CurlShare::lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CurlShare*>(self)->mutexes_.at(data).lock();
}

void CurlShare::unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CurlShare*>(self)->mutexes_.at(data).unlock();
}

} // namespace quorvane
