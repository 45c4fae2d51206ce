#include "HttpFaults.h"

namespace quorvane::test {

namespace {

std::string repeated(const std::string& piece, std::size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

std::vector<MalformedBody> buildBodies() {
    const std::size_t deep = 100000;
    const std::size_t hugeSize = 2u << 20;
    return {
        {"empty", ""},
        {"plainText", "upstream connect error"},
        {"html", "<html><body>OK</body></html>"},
        {"jsonNull", "null"},
        {"jsonNumber", "42"},
        {"topLevelArray", "[]"},
        {"emptyObject", "{}"},
        {"truncated", R"({"choices":[{"message":{"content":"half)"},
        {"unbalanced", R"({"content":[{"type":"text","text":"x"}])"},
        {"binary", std::string("\x00\xFF\xFE{\x01\x02", 6)},
        {"illFormedUtf8", "{\"content\":[{\"type\":\"text\",\"text\":\"\xC3\x28\"}],"
                          "\"choices\":[{\"message\":{\"content\":\"\xC3\x28\"}}]}"},
        {"deepArrays", std::string(deep, '[') + std::string(deep, ']')},
        {"deepObjects", repeated("{\"content\":", deep) + "1" + std::string(deep, '}')},
        {"deepInsideTheRightShape", R"({"choices":[{"message":{"content":)" +
                                        std::string(deep, '[') + std::string(deep, ']') + "}}]}"},
        {"hugeUnterminatedString",
         R"({"content":[{"type":"text","text":")" + std::string(hugeSize, 'a')},
        // Well-formed, with every list the providers read present but empty.
        {"hugeValidButEmpty", R"({"choices":[],"content":[],"data":[],"padding":")" +
                                  std::string(hugeSize, 'p') + "\"}"},
    };
}

} // namespace

const std::vector<MalformedBody>& malformedBodies() {
    static const std::vector<MalformedBody> bodies = buildBodies();
    return bodies;
}

LoopbackServer::Handler closingMidBody() {
    return [](const httplib::Request&, httplib::Response& response) {
        response.status = 200;
        response.set_content_provider(
            1024, "application/json",
            [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
    };
}

LoopbackServer::Handler replyWith(int status, std::string body) {
    return [status, body = std::move(body)](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, "application/json");
    };
}

} // namespace quorvane::test
