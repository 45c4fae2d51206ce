#include "CurlLibrary.h"

#include "HttpTransportError.h"

#include <dlfcn.h>

#include <type_traits>

namespace quorvane {

namespace {

constexpr const char* systemSoname = "libcurl.so.4";

std::string loaderError() {
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}

} // namespace

CurlLibrary::CurlLibrary(std::string soname)
    : soname_(std::move(soname)) {}

CurlLibrary& CurlLibrary::shared() {
    // Never destroyed, like the shared session: a request thread still
    // running at exit keeps calling through the table.
    static auto* const library = new CurlLibrary(systemSoname);
    return *library;
}

const CurlLibrary::Functions& CurlLibrary::functions() {
    std::call_once(once_, [this] { failure_ = load(); });
    if (!failure_.empty()) {
        throw HttpTransportError(failure_);
    }
    return functions_;
}

std::string CurlLibrary::load() {
    // Local, so that nothing loaded later binds to curl's symbols by
    // accident. Never closed: easy handles and their callbacks may outlive
    // every owner of this object.
    void* handle = dlopen(soname_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return "libcurl could not be loaded: " + loaderError();
    }
    std::string missing;
    auto bind = [&](const char* name, auto& slot) {
        dlerror();
        void* symbol = dlsym(handle, name);
        if (symbol == nullptr) {
            missing = "libcurl (" + soname_ + ") lacks " + name + ": " + loaderError();
            return false;
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(symbol);
        return true;
    };
    Functions& f = functions_;
    const bool complete =
        bind("curl_global_init", f.globalInit) && bind("curl_easy_init", f.easyInit) &&
        bind("curl_easy_cleanup", f.easyCleanup) && bind("curl_easy_reset", f.easyReset) &&
        bind("curl_easy_setopt", f.easySetopt) && bind("curl_easy_getinfo", f.easyGetinfo) &&
        bind("curl_easy_strerror", f.easyStrerror) && bind("curl_free", f.free) &&
        bind("curl_multi_init", f.multiInit) && bind("curl_multi_cleanup", f.multiCleanup) &&
        bind("curl_multi_add_handle", f.multiAddHandle) &&
        bind("curl_multi_remove_handle", f.multiRemoveHandle) &&
        bind("curl_multi_perform", f.multiPerform) && bind("curl_multi_poll", f.multiPoll) &&
        bind("curl_multi_wakeup", f.multiWakeup) && bind("curl_multi_info_read", f.multiInfoRead) &&
        bind("curl_share_init", f.shareInit) && bind("curl_share_cleanup", f.shareCleanup) &&
        bind("curl_share_setopt", f.shareSetopt) && bind("curl_slist_append", f.slistAppend) &&
        bind("curl_slist_free_all", f.slistFreeAll) && bind("curl_url", f.url) &&
        bind("curl_url_cleanup", f.urlCleanup) && bind("curl_url_get", f.urlGet) &&
        bind("curl_url_set", f.urlSet);
    if (!complete) {
        return missing;
    }
    if (const CURLcode code = f.globalInit(CURL_GLOBAL_DEFAULT); code != CURLE_OK) {
        return std::string("libcurl failed to initialise: ") + f.easyStrerror(code);
    }
    return {};
}

} // namespace quorvane
