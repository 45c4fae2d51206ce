#include "platform/updater/Appcast.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

const Url feed = *Url::parse("https://updates.example.com/quorvane/appcast.xml");

std::string rss(const std::string& items, const std::string& prefix = "sparkle") {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:)" +
           prefix + R"(="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Quorvane</title>)" +
           items + "</channel></rss>";
}

TEST(AppcastTest, ReadsVersionsFromTheEnclosureOrTheItem) {
    const auto items = Appcast::parse(rss(R"(
        <item><title>Attributes</title>
          <sparkle:releaseNotesLink>https://example.com/notes/12.html</sparkle:releaseNotesLink>
          <enclosure url="https://dl.example.com/q-12.tar.gz" sparkle:version="12"
                     sparkle:shortVersionString="1.2" length="10" type="application/octet-stream"/>
        </item>
        <item><title>Elements</title>
          <sparkle:version> 13 </sparkle:version>
          <sparkle:shortVersionString>1.3</sparkle:shortVersionString>
          <enclosure url="https://dl.example.com/q-13.tar.gz"/>
        </item>
        <item><title>Both</title>
          <sparkle:version>1</sparkle:version>
          <enclosure url="https://dl.example.com/q-14.tar.gz" sparkle:version="14"/>
        </item>)"),
                                      feed);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 3u);
    EXPECT_EQ((*items)[0],
              (AppcastItem{"Attributes", "12", "1.2", "https://dl.example.com/q-12.tar.gz",
                           "https://example.com/notes/12.html"}));
    EXPECT_EQ((*items)[1], (AppcastItem{"Elements", "13", "1.3",
                                        "https://dl.example.com/q-13.tar.gz", std::nullopt}));
    EXPECT_EQ((*items)[2].version, "14"); // the enclosure wins
    EXPECT_EQ((*items)[2].displayVersion(), "14");
}

TEST(AppcastTest, TheNamespaceMattersNotItsPrefix) {
    const std::string item =
        R"(<item><enclosure url="https://dl.example.com/q.tgz" su:version="7"/></item>)";
    const auto renamed = Appcast::parse(rss(item, "su"), feed);
    ASSERT_TRUE(renamed);
    ASSERT_EQ(renamed->size(), 1u);
    EXPECT_EQ((*renamed)[0].version, "7");

    // The usual prefix bound to another namespace is not the updater's.
    const auto impostor = Appcast::parse(
        R"(<rss xmlns:sparkle="http://example.com/other"><channel>
             <item><enclosure url="https://dl.example.com/q.tgz" sparkle:version="7"/></item>
           </channel></rss>)",
        feed);
    ASSERT_TRUE(impostor);
    EXPECT_TRUE(impostor->empty());

    // A declaration on the item itself counts too.
    const auto local = Appcast::parse(
        R"(<rss><channel><item xmlns:s="http://www.andymatuschak.org/xml-namespaces/sparkle">
             <s:version>8</s:version><enclosure url="https://dl.example.com/q.tgz"/>
           </item></channel></rss>)",
        feed);
    ASSERT_TRUE(local);
    ASSERT_EQ(local->size(), 1u);
    EXPECT_EQ((*local)[0].version, "8");
}

TEST(AppcastTest, RelativeLinksResolveAgainstTheFeed) {
    const auto items = Appcast::parse(rss(R"(
        <item><sparkle:releaseNotesLink>notes/3.html</sparkle:releaseNotesLink>
          <enclosure url="../downloads/q-3.tgz" sparkle:version="3"/></item>
        <item><enclosure url="/q-4.tgz" sparkle:version="4"/></item>)"),
                                      feed);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].downloadUrl, "https://updates.example.com/downloads/q-3.tgz");
    EXPECT_EQ((*items)[0].releaseNotesUrl, "https://updates.example.com/quorvane/notes/3.html");
    EXPECT_EQ((*items)[1].downloadUrl, "https://updates.example.com/q-4.tgz");
}

TEST(AppcastTest, LeavesOutItemsWithoutAVersionOrAWebDownload) {
    const auto items = Appcast::parse(rss(R"xml(
        <item><title>file</title><enclosure url="file:///tmp/q.tgz" sparkle:version="9"/></item>
        <item><title>script</title><enclosure url="javascript:alert(1)" sparkle:version="9"/></item>
        <item><title>empty url</title><enclosure url=" " sparkle:version="9"/></item>
        <item><title>no enclosure</title><sparkle:version>9</sparkle:version></item>
        <item><title>no version</title><enclosure url="https://dl.example.com/q.tgz"/></item>
        <item><title>empty version</title><enclosure url="https://dl.example.com/q.tgz" sparkle:version=""/></item>
        <item><title>kept</title>
          <sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink>
          <enclosure url="http://dl.example.com/q.tgz" sparkle:version="2"/></item>)xml"),
                                      feed);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 1u);
    EXPECT_EQ((*items)[0].title, "kept");
    // A link of another scheme is dropped, the release kept.
    EXPECT_EQ((*items)[0].releaseNotesUrl, std::nullopt);
}

TEST(AppcastTest, BetaAndOtherSystemsBuildsAreNotOffered) {
    // Each newer item stands beside the default release 10; only what this system may install
    // can become the newest.
    struct Case {
        const char* name;
        const char* newerItem;
        const char* newest;
    };
    const Case cases[] = {
        {"beta channel",
         R"(<item><sparkle:channel>beta</sparkle:channel>
              <enclosure url="https://dl.example.com/q-11b.tgz" sparkle:version="11"/></item>)",
         "10"},
        {"empty channel",
         R"(<item><sparkle:channel/><enclosure url="https://dl.example.com/q-11.tgz"
              sparkle:version="11"/></item>)",
         "10"},
        {"macOS build",
         R"(<item><enclosure url="https://dl.example.com/q-11.dmg" sparkle:version="11"
              sparkle:os="macos"/></item>)",
         "10"},
        {"Windows build as an element",
         R"(<item><sparkle:os>windows</sparkle:os>
              <enclosure url="https://dl.example.com/q-11.exe" sparkle:version="11"/></item>)",
         "10"},
        {"Linux build",
         R"(<item><enclosure url="https://dl.example.com/q-11.tgz" sparkle:version="11"
              sparkle:os="linux"/></item>)",
         "11"},
        {"Linux build in capitals",
         R"(<item><enclosure url="https://dl.example.com/q-11.tgz" sparkle:version="11"
              sparkle:os=" Linux "/></item>)",
         "11"},
        {"channel of another namespace",
         R"(<item><channel xmlns="http://example.com/other">beta</channel>
              <enclosure url="https://dl.example.com/q-11.tgz" sparkle:version="11"/></item>)",
         "11"},
    };
    const std::string defaultItem =
        R"(<item><enclosure url="https://dl.example.com/q-10.tgz" sparkle:version="10"/></item>)";
    for (const auto& c : cases) {
        const auto items = Appcast::parse(rss(c.newerItem + defaultItem), feed);
        ASSERT_TRUE(items) << c.name;
        const auto newest = Appcast::newest(*items);
        ASSERT_TRUE(newest) << c.name;
        EXPECT_EQ(newest->version, c.newest) << c.name;
    }
}

TEST(AppcastTest, RawSpacesInLinksArePercentEncoded) {
    const auto items = Appcast::parse(rss(R"(
        <item><sparkle:releaseNotesLink>notes/Release 3.html</sparkle:releaseNotesLink>
          <enclosure url=" https://dl.example.com/Quorvane 3.0 final.tar.gz "
                     sparkle:version="3"/></item>
        <item><enclosure url="downloads/Quorvane 4.tgz" sparkle:version="4"/></item>)"),
                                      feed);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].downloadUrl, "https://dl.example.com/Quorvane%203.0%20final.tar.gz");
    EXPECT_EQ((*items)[0].releaseNotesUrl,
              "https://updates.example.com/quorvane/notes/Release%203.html");
    EXPECT_EQ((*items)[1].downloadUrl,
              "https://updates.example.com/quorvane/downloads/Quorvane%204.tgz");
}

TEST(AppcastTest, RejectsWhatIsNotAnRssChannel) {
    for (const char* xml : {"", "<rss><channel>", "<feed><entry/></feed>", "<rss version=\"2.0\"/>",
                            "<html><body>Not found</body></html>"}) {
        EXPECT_FALSE(Appcast::parse(xml, feed)) << xml;
    }
    const auto empty = Appcast::parse("<rss><channel/></rss>", feed);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(AppcastTest, NewestIsTheHighestVersionWhateverTheOrder) {
    const auto item = [](const char* title, const char* version) {
        return AppcastItem{title, version, std::nullopt, "https://dl.example.com/x", std::nullopt};
    };
    EXPECT_EQ(Appcast::newest({}), std::nullopt);
    EXPECT_EQ(Appcast::newest({item("a", "9"), item("b", "10"), item("c", "2")})->title, "b");
    EXPECT_EQ(Appcast::newest({item("beta", "2.0b1"), item("final", "2.0")})->title, "final");
    EXPECT_EQ(Appcast::newest({item("first", "3.0"), item("same", "3.0.0")})->title, "first");
}

} // namespace
} // namespace quorvane
