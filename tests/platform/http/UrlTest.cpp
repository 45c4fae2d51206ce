#include "platform/http/Url.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorvane {
namespace {

TEST(UrlTest, AcceptsAbsoluteUrlsWithAHost) {
    for (const char* text : {
             "https://api.anthropic.com/v1",
             "http://localhost:11434/v1",
             "http://127.0.0.1:1",
             "http://h:65535/",
             "http://[::1]:8080/x",
             "http://[2001:db8::7]",
             "HTTPS://Example.com",
             "custom+scheme.x-1://host",
             "http://h?q=1#frag",
             "http://user:secret@h:80/",
             "https://h/caf%C3%A9",
         }) {
        EXPECT_TRUE(Url::parse(text).has_value()) << text;
    }
}

TEST(UrlTest, RejectsTextThatIsNoAbsoluteUrl) {
    for (const char* text : {
             "",
             "api.openai.com/v1",
             "https//h",
             "https:/h",
             "1http://h",
             "-http://h",
             "ht tp://h",
             "http://",
             "http:///path",
             "http://?q",
             "http://user@",
             "http://h:0",
             "http://h:65536",
             "http://h:123456",
             "http://h:8o",
             "http://h:",
             "http://h /x",
             " http://h",
             "http://h ",
             "http://h\t",
             "http://h/\n",
             "http://h/\x7f",
             "http://[::1",
             "http://[]/",
             "http://[zz::1]/",
             "http://[::1]x/",
             "http://a[b]/",
             "mailto:someone@example.com",
         }) {
        EXPECT_FALSE(Url::parse(text).has_value()) << text;
    }
}

struct ComponentsCase {
    std::string text;
    std::string scheme;
    std::string host;
    std::optional<int> port;
    std::string path;
};

TEST(UrlTest, SplitsIntoComponents) {
    const ComponentsCase cases[] = {
        {"https://api.openai.com/v1", "https", "api.openai.com", std::nullopt, "/v1"},
        {"HTTP://Host:8080", "http", "Host", 8080, ""},
        {"http://[::1]:11434/v1/?x#y", "http", "::1", 11434, "/v1/"},
        {"http://user:pw@h:9/a%20b", "http", "h", 9, "/a%20b"},
        {"https://h?only=query", "https", "h", std::nullopt, ""},
    };
    for (const auto& row : cases) {
        const auto url = Url::parse(row.text);
        ASSERT_TRUE(url.has_value()) << row.text;
        EXPECT_EQ(url->scheme(), row.scheme) << row.text;
        EXPECT_EQ(url->host(), row.host) << row.text;
        EXPECT_EQ(url->port(), row.port) << row.text;
        EXPECT_EQ(url->path(), row.path) << row.text;
    }
}

struct AppendCase {
    std::string base;
    std::string component;
    std::string expected;
};

TEST(UrlTest, AppendsOnePathComponent) {
    const AppendCase cases[] = {
        {"https://h/v1", "chat/completions", "https://h/v1/chat/completions"},
        {"https://h/v1/", "chat/completions", "https://h/v1/chat/completions"},
        {"https://h/v1", "/models", "https://h/v1/models"},
        {"https://h/v1/", "/models", "https://h/v1/models"},
        {"https://h", "models", "https://h/models"},
        {"http://h:1/v1?key=1", "models", "http://h:1/v1/models?key=1"},
        {"https://h/v1#frag", "models", "https://h/v1/models#frag"},
        {"https://h/v1/?a=b#c", "models", "https://h/v1/models?a=b#c"},
        {"https://h/v1", "", "https://h/v1"},
        {"https://h/v1", "/", "https://h/v1"},
        {"https://h/v1", "a b?c#d", "https://h/v1/a%20b%3Fc%23d"},
    };
    for (const auto& row : cases) {
        const auto appended = Url::parse(row.base)->appendingPathComponent(row.component);
        EXPECT_EQ(appended.text(), row.expected) << row.base << " + " << row.component;
        EXPECT_TRUE(Url::parse(appended.text()).has_value()) << appended.text();
    }
}

struct ResolveCase {
    std::string reference;
    std::optional<std::string> expected;
};

// The reference resolution examples of RFC 3986 (5.4), with the one whose
// result has no host ("g:h") giving nothing, plus a few of our own.
TEST(UrlTest, ResolvesReferencesAgainstABase) {
    const auto base = Url::parse("http://a/b/c/d;p?q");
    ASSERT_TRUE(base.has_value());
    const ResolveCase cases[] = {
        {"g:h", std::nullopt},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"g;x", "http://a/b/c/g;x"},
        {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"../../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {".g", "http://a/b/c/.g"},
        {"g..", "http://a/b/c/g.."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"./g/.", "http://a/b/c/g/"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"https://other.example/x/../y", "https://other.example/y"},
        {"//other:8443/z", "http://other:8443/z"},
        {"file:///etc/passwd", std::nullopt},
        {"a b", std::nullopt},
        {"g\n", std::nullopt},
    };
    for (const auto& row : cases) {
        const auto resolved = base->resolved(row.reference);
        const auto text = resolved ? std::optional(resolved->text()) : std::nullopt;
        EXPECT_EQ(text, row.expected) << "reference: " << row.reference;
    }
}

TEST(UrlTest, ResolvesAgainstABaseWithoutPath) {
    const auto base = Url::parse("https://feed.example");
    ASSERT_TRUE(base.has_value());
    EXPECT_EQ(base->resolved("notes.html")->text(), "https://feed.example/notes.html");
    EXPECT_EQ(base->resolved("?v=2")->text(), "https://feed.example?v=2");
}

} // namespace
} // namespace quorvane
