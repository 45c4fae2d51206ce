#include "CurlShare.h"

#include "HttpTransportError.h"

namespace quorvane {

CurlShare::CurlShare(CurlLibrary& library)
    : curl_(library.functions()) {
    share_ = curl_.shareInit();
    if (share_ == nullptr) {
        throw HttpTransportError("Out of memory: libcurl could not create a share handle");
    }
    curl_.shareSetopt(share_, CURLSHOPT_LOCKFUNC, &CurlShare::lock);
    curl_.shareSetopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlShare::unlock);
    curl_.shareSetopt(share_, CURLSHOPT_USERDATA, this);
    curl_.shareSetopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_.shareSetopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    // Room for every idle pair up front, so that handing one back never allocates.
    idle_.reserve(maximumIdleHandles);
}

CurlShare::~CurlShare() {
    // Easy handles still attached would keep the share from being freed.
    for (const auto& handles : idle_) {
        close(handles);
    }
    curl_.shareCleanup(share_);
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
    CurlHandles handles{.multi = curl_.multiInit(), .easy = curl_.easyInit()};
    if (handles.multi == nullptr || handles.easy == nullptr) {
        close(handles);
        throw HttpTransportError("Out of memory: libcurl could not start a transfer");
    }
    return handles;
}

void CurlShare::release(CurlHandles handles) {
    // Nothing of the finished request (callbacks, buffers, headers) may
    // reach the next one: a transfer that did not put its options back
    // itself leaves the handle to be reset.
    if (!handles.configured) {
        curl_.easyReset(handles.easy);
    }
    {
        const std::lock_guard guard(idleMutex_);
        if (idle_.size() < maximumIdleHandles) {
            idle_.push_back(handles);
            return;
        }
    }
    close(handles);
}

void CurlShare::close(CurlHandles handles) const {
    if (handles.easy != nullptr) {
        curl_.easyCleanup(handles.easy);
    }
    if (handles.multi != nullptr) {
        curl_.multiCleanup(handles.multi);
    }
}

void CurlShare::lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CurlShare*>(self)->mutexes_.at(data).lock();
}

void CurlShare::unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CurlShare*>(self)->mutexes_.at(data).unlock();
}

} // namespace quorvane
