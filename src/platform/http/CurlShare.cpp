#include "CurlShare.h"

#include "HttpTransportError.h"

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
    // Room for every idle pair up front, so that handing one back never allocates.
    idle_.reserve(maximumIdleHandles);
}

CurlShare::~CurlShare() {
    // Easy handles still attached would keep the share from being freed.
    for (const auto& handles : idle_) {
        close(handles);
    }
    curl_share_cleanup(share_);
}

CurlHandles CurlShare::acquire() {
    {
        const std::lock_guard guard(idleMutex_);
        if (!idle_.empty()) {
            const CurlHandles handles = idle_.back();
            idle_.pop_back();
            return handles;
        }
    }
    CurlHandles handles{.multi = curl_multi_init(), .easy = curl_easy_init()};
    if (handles.multi == nullptr || handles.easy == nullptr) {
        close(handles);
        throw HttpTransportError("Out of memory: libcurl could not start a transfer");
    }
    return handles;
}

void CurlShare::release(CurlHandles handles) {
    // Nothing of the finished request (callbacks, buffers, headers) may
    // reach the next one.
    curl_easy_reset(handles.easy);
    {
        const std::lock_guard guard(idleMutex_);
        if (idle_.size() < maximumIdleHandles) {
            idle_.push_back(handles);
            return;
        }
    }
    close(handles);
}

void CurlShare::close(CurlHandles handles) {
    if (handles.easy != nullptr) {
        curl_easy_cleanup(handles.easy);
    }
    if (handles.multi != nullptr) {
        curl_multi_cleanup(handles.multi);
    }
}

void CurlShare::lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CurlShare*>(self)->mutexes_.at(data).lock();
}

void CurlShare::unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CurlShare*>(self)->mutexes_.at(data).unlock();
}

} // namespace quorvane
