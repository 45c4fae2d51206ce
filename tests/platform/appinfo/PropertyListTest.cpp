#include "platform/appinfo/PropertyList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace quorvane {
namespace {

constexpr const char* header = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
)";

std::string plist(const std::string& body) {
    return header + std::string("<plist version=\"1.0\">") + body + "</plist>";
}

TEST(PropertyListTest, ReadsStringsAndTellsOtherTypesApart) {
    const auto list = PropertyList::parseDictionary(plist(R"(<dict>
        <key>SENTRY_DSN</key><string>https://k@o.example/1?a=1&amp;b=2</string>
        <key>Empty</key><string/>
        <key>Count</key><integer>3</integer>
        <key>Nested</key><dict><key>SENTRY_DSN</key><string>inner</string></dict>
        <key>Flag</key><true/>
    </dict>)"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->string("SENTRY_DSN"), "https://k@o.example/1?a=1&b=2");
    EXPECT_EQ(list->string("Empty"), "");
    EXPECT_EQ(list->string("Count"), std::nullopt);
    EXPECT_TRUE(list->contains("Count"));
    EXPECT_EQ(list->string("Nested"), std::nullopt);
    EXPECT_EQ(list->string("Flag"), std::nullopt);
    EXPECT_EQ(list->string("Missing"), std::nullopt);
    EXPECT_FALSE(list->contains("Missing"));
}

TEST(PropertyListTest, RejectsWhatIsNotADictionaryPropertyList) {
    const char* rejected[] = {
        "",
        "not xml",
        "<plist><dict><key>A</key><string>x</string>",              // unterminated
        "<html><dict><key>A</key><string>x</string></dict></html>", // another root
        "<plist><array><string>x</string></array></plist>",         // not a dictionary
        "<plist><dict><key>A</key></dict></plist>",                 // key without value
        "<plist><dict><key>A</key><key>B</key><string>x</string></dict></plist>",
        "<plist><dict><string>x</string></dict></plist>", // value without key
        "<plist><dict><key>A</key><blob>x</blob></dict></plist>",
    };
    for (const char* xml : rejected) {
        EXPECT_FALSE(PropertyList::parseDictionary(xml)) << xml;
    }
}

TEST(PropertyListTest, ReadsFilesAndFailsQuietlyOnMissingOnes) {
    const auto file = std::filesystem::path(std::getenv("TMPDIR")) / "Sentry.plist";
    std::ofstream(file) << plist("<dict><key>SENTRY_DSN</key><string>x</string></dict>");
    ASSERT_TRUE(PropertyList::readDictionary(file));
    EXPECT_EQ(PropertyList::readDictionary(file)->string("SENTRY_DSN"), "x");
    EXPECT_FALSE(PropertyList::readDictionary(file.parent_path() / "Missing.plist"));
    EXPECT_FALSE(PropertyList::readDictionary(file.parent_path()));
}

} // namespace
} // namespace quorvane
