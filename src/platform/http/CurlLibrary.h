// libcurl, opened the first time a request needs it rather than by the
// dynamic loader at program start: it brings some thirty libraries of its own
// (TLS, LDAP, SSH, Kerberos, ...), all bound before main, and nothing at
// start-up speaks HTTP. The header is still curl's for types and constants;
// only the calls go through the table below.
#pragma once

#include <curl/curl.h>

#include <mutex>
#include <string>

namespace quorvane {

class CurlLibrary {
public:
    // The functions of the library this folder calls, with libcurl's own
    // types. The names differ from curl's, whose header defines macros of
    // those names.
    struct Functions {
        decltype(&::curl_global_init) globalInit = nullptr;
        decltype(&::curl_easy_init) easyInit = nullptr;
        decltype(&::curl_easy_cleanup) easyCleanup = nullptr;
        decltype(&::curl_easy_reset) easyReset = nullptr;
        decltype(&::curl_easy_setopt) easySetopt = nullptr;
        decltype(&::curl_easy_getinfo) easyGetinfo = nullptr;
        decltype(&::curl_easy_strerror) easyStrerror = nullptr;
        decltype(&::curl_free) free = nullptr;
        decltype(&::curl_multi_init) multiInit = nullptr;
        decltype(&::curl_multi_cleanup) multiCleanup = nullptr;
        decltype(&::curl_multi_add_handle) multiAddHandle = nullptr;
        decltype(&::curl_multi_remove_handle) multiRemoveHandle = nullptr;
        decltype(&::curl_multi_perform) multiPerform = nullptr;
        decltype(&::curl_multi_poll) multiPoll = nullptr;
        decltype(&::curl_multi_wakeup) multiWakeup = nullptr;
        decltype(&::curl_multi_info_read) multiInfoRead = nullptr;
        decltype(&::curl_share_init) shareInit = nullptr;
        decltype(&::curl_share_cleanup) shareCleanup = nullptr;
        decltype(&::curl_share_setopt) shareSetopt = nullptr;
        decltype(&::curl_slist_append) slistAppend = nullptr;
        decltype(&::curl_slist_free_all) slistFreeAll = nullptr;
        decltype(&::curl_url) url = nullptr;
        decltype(&::curl_url_cleanup) urlCleanup = nullptr;
        decltype(&::curl_url_get) urlGet = nullptr;
        decltype(&::curl_url_set) urlSet = nullptr;
    };

    // Nothing is opened until functions() is first called.
    explicit CurlLibrary(std::string soname);

    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;

    // The system's libcurl, which every session uses unless given another.
    static CurlLibrary& shared();

    // Opens, resolves and initialises the library on the first call, from
    // whichever thread comes first. Throws HttpTransportError, naming libcurl
    // and the loader's reason, when it cannot be used; a failure is final, so
    // later calls throw the same error without trying again.
    const Functions& functions();

private:
    // The reason the library cannot be used, empty when it can.
    std::string load();

    std::string soname_;
    std::once_flag once_;
    std::string failure_;
    Functions functions_;
};

} // namespace quorvane
