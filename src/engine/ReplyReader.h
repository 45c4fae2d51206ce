// The members of a 2xx reply that the providers read. A reply is mostly one
// long text; the document around it is never built: one pass over the text
// picks out these few members and checks that the whole is one JSON object.
//
// Internal to the engine, like NetworkJson.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// An "error" object with a text "message", which some services (the routers
// among them) send in a 2xx reply when the request failed after it began.
struct ReplyError {
    // The object's "code" when it is an integer HTTP failure status (400 to 599).
    std::optional<int> status;
};

// A chat-completions reply: the first choice's message, and any error object.
struct ChatCompletionReply {
    // The message's "content" when it is text, trimmed of white space and line breaks.
    std::optional<std::string> content;
    // The message's "refusal" when it is text, trimmed: the model declined the request.
    std::optional<std::string> refusal;
    std::optional<ReplyError> error;
};

// A messages reply: its text blocks joined in order, the stop reason and any error object.
struct MessagesReply {
    std::string text;
    std::optional<std::string> stopReason;
    std::optional<ReplyError> error;
};

class ReplyReader {
public:
    // Nothing when the body is not one JSON object (malformed, truncated,
    // ill-formed UTF-8, followed by more text) or nests deeper than
    // NetworkJson::maxDepth. A member of another type than the one read
    // counts as absent. A body with HttpResponse::bodySpare bytes of
    // capacity past its end is read where it is, any other from a copy.
    static std::optional<ChatCompletionReply> chatCompletion(const std::string& body);
    static std::optional<MessagesReply> messages(const std::string& body);
};

} // namespace quorvane
