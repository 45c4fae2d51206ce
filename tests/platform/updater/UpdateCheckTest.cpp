#include "platform/updater/UpdateCheck.h"

#include "platform/http/HttpSession.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using Kind = UpdateCheckResult::Kind;
using test::LoopbackServer;

const std::string twoReleases = R"(<?xml version="1.0"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
  <item><enclosure url="downloads/q-13.tgz" sparkle:version="13" sparkle:shortVersionString="1.3"/></item>
  <item><enclosure url="downloads/q-12.tgz" sparkle:version="12" sparkle:shortVersionString="1.2"/></item>
</channel></rss>)";

class UpdateCheckTest : public testing::Test {
protected:
    void serve(int status, std::string body) {
        server_.get("/feed.xml",
                    [status, body](const httplib::Request&, httplib::Response& response) {
                        response.status = status;
                        response.set_content(body, "application/rss+xml");
                    });
    }
    UpdateCheckResult check(const std::string& bundleVersion, std::string feed = {}) {
        if (feed.empty()) {
            feed = server_.baseUrl() + "/feed.xml";
        }
        return UpdateCheck(feed, bundleVersion, "1.2", HttpSession::shared()).run();
    }

    LoopbackServer server_;
};

TEST_F(UpdateCheckTest, ANewerReleaseIsReportedWithWhereToGetIt) {
    serve(200, twoReleases);
    const auto result = check("12");

    EXPECT_EQ(result.kind, Kind::updateAvailable);
    const auto download = server_.baseUrl() + "/downloads/q-13.tgz";
    ASSERT_TRUE(result.update);
    EXPECT_EQ(result.update->downloadUrl, download);
    EXPECT_EQ(result.message, "Quorvane 1.3 is available at " + download + ".");
    ASSERT_EQ(server_.requests().size(), 1u);
    EXPECT_EQ(server_.requests()[0].header("User-Agent"), "quorvane/1.2");
}

TEST_F(UpdateCheckTest, TheNewestOrALaterBuildIsUpToDate) {
    serve(200, twoReleases);
    for (const char* running : {"13", "13.0", "14"}) {
        const auto result = check(running);
        EXPECT_EQ(result.kind, Kind::upToDate) << running;
        EXPECT_EQ(result.message, "Quorvane 1.2 is up to date.");
        EXPECT_EQ(result.update, std::nullopt);
    }
}

TEST_F(UpdateCheckTest, AFeedWithoutReleasesIsUpToDate) {
    serve(200, "<rss><channel/></rss>");
    EXPECT_EQ(check("1").kind, Kind::upToDate);
}

TEST_F(UpdateCheckTest, WithoutAFeedTheBuildIsNotConfigured) {
    const auto result = UpdateCheck("", "1", "1.2", HttpSession::shared()).run();
    EXPECT_EQ(result.kind, Kind::notConfigured);
    EXPECT_EQ(result.message, "Updates are not configured for this build.");
}

TEST_F(UpdateCheckTest, FailuresAreReportedReadably) {
    struct Case {
        const char* name;
        int status;
        const char* body;
        const char* message;
    };
    const Case cases[] = {
        {"missing", 404, "Not found",
         "Could not check for updates: the update server answered with HTTP 404."},
        {"notAFeed", 200, "<html>hello</html>",
         "Could not check for updates: the update feed is not a valid appcast."},
        {"notXml", 200, "{\"json\":true}",
         "Could not check for updates: the update feed is not a valid appcast."},
    };
    for (const auto& c : cases) {
        LoopbackServer server;
        server.get("/feed.xml", [&c](const httplib::Request&, httplib::Response& response) {
            response.status = c.status;
            response.set_content(c.body, "text/html");
        });
        const auto result =
            UpdateCheck(server.baseUrl() + "/feed.xml", "1", "1.2", HttpSession::shared()).run();
        EXPECT_EQ(result.kind, Kind::failed) << c.name;
        EXPECT_EQ(result.message, c.message) << c.name;
    }
}

TEST_F(UpdateCheckTest, AnUnreachableOrUnsafeFeedFails) {
    std::string closed;
    {
        LoopbackServer gone;
        closed = gone.baseUrl() + "/feed.xml";
    }
    const auto unreachable = check("1", closed);
    EXPECT_EQ(unreachable.kind, Kind::failed);
    EXPECT_EQ(unreachable.message.rfind(
                  "Could not check for updates: the update server could not be reached (", 0),
              0u)
        << unreachable.message;

    const auto unsafe = check("1", "file:///etc/passwd");
    EXPECT_EQ(unsafe.kind, Kind::failed);
    EXPECT_EQ(unsafe.message,
              "Could not check for updates: the update feed address is not an http or https URL.");
}

} // namespace
} // namespace quorvane
