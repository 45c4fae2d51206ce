#include "engine/ReplyReader.h"

#include "platform/http/HttpResponse.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

// The text with room past its end, as a response body has, and what lies
// there written so that reading it would change the result.
std::string withSpareRoom(const std::string& text, const std::string& past) {
    std::string body = text + past + std::string(HttpResponse::bodySpare, ' ');
    body.resize(text.size());
    return body;
}

TEST(ReplyReaderTest, ABodyReadWhereItIsEndsAtItsLength) {
    const std::string whole = R"({"choices":[{"message":{"content":" hi "}}]})";
    const auto read = ReplyReader::chatCompletion(withSpareRoom(whole, "garbage"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->content, "hi");

    // Cut short, with the rest of a sound reply just past the end.
    const std::string cut = R"({"choices":[{"message":{"content":"hi)";
    EXPECT_FALSE(ReplyReader::chatCompletion(withSpareRoom(cut, R"("}}]})")).has_value());
    EXPECT_FALSE(ReplyReader::messages(withSpareRoom(R"({"content":[)", R"(]})")).has_value());
}

TEST(ReplyReaderTest, ABodyWithoutRoomPastItsEndIsReadAsWell) {
    std::string body = R"({"content":[{"type":"text","text":"a"},{"type":"text","text":"b"}]})";
    body.shrink_to_fit();
    const auto read = ReplyReader::messages(body);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->text, "ab");
}

} // namespace
} // namespace quorvane
