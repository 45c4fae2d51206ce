#include "platform/http/CurlLibrary.h"

#include "platform/http/CurlHttpSession.h"
#include "platform/http/HttpTransportError.h"

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

namespace quorvane {
namespace {

using testing::HasSubstr;

bool libcurlIsLoaded() {
    void* handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);
    return true;
}

// The point of loading on first use: a program that builds the shared
// session at start-up but sends nothing never has libcurl mapped.
TEST(CurlLibraryTest, TheSharedSessionLoadsNothingBeforeItsFirstRequest) {
    HttpSession::shared();
    EXPECT_FALSE(libcurlIsLoaded());
}

struct UnusableLibrary {
    const char* soname;
    const char* reason;
};

std::ostream& operator<<(std::ostream& stream, const UnusableLibrary& library) {
    return stream << library.soname;
}

class UnusableLibraryTest : public testing::TestWithParam<UnusableLibrary> {};

TEST_P(UnusableLibraryTest, EveryRequestFailsWithTheLoadersReason) {
    CurlLibrary library(GetParam().soname);
    CurlHttpSession session(library);
    HttpRequest request;
    request.url = "http://127.0.0.1:9/";
    // The second request meets the failure kept from the first.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            session.send(request, {});
            ADD_FAILURE() << "a request went out on " << GetParam().soname;
        } catch (const HttpTransportError& error) {
            EXPECT_THAT(error.what(), HasSubstr("libcurl"));
            EXPECT_THAT(error.what(), HasSubstr(GetParam().reason));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, UnusableLibraryTest,
    testing::Values(
        UnusableLibrary{.soname = "libquorvane-missing.so",
                        .reason = "libquorvane-missing.so: cannot open shared object file"},
        UnusableLibrary{.soname = "libc.so.6", .reason = "undefined symbol: curl_global_init"}),
    [](const auto& info) { return info.index == 0 ? "Missing" : "NotCurl"; });

} // namespace
} // namespace quorvane
