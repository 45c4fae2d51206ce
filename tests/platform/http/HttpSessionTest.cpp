#include "platform/http/HttpSession.h"

#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quorvane {
namespace {

using test::LoopbackServer;

HttpRequest get(std::string url) {
    HttpRequest request;
    request.url = std::move(url);
    return request;
}

TEST(HttpSessionTest, SharedIsOneSessionThatWorks) {
    LoopbackServer server;
    server.get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("ok", "text/plain");
    });
    EXPECT_EQ(&HttpSession::shared(), &HttpSession::shared());
    EXPECT_EQ(HttpSession::shared().send(get(server.baseUrl() + "/"), {}).body, "ok");
}

} // namespace
} // namespace quorvane
