#include "ReplyReader.h"

#include "NetworkJson.h"
#include "Text.h"
#include "platform/http/HttpResponse.h"

#include <simdjson.h>

#include <optional>

namespace quorvane {

namespace {

namespace ondemand = simdjson::ondemand;

using Value = ondemand::value;

// Every member of the body's root object, in order, handed to visit(name,
// value), which returns false to give up on the body. A value that visit
// leaves unread, or reads only in part, is stepped over.
template <typename Visit>
bool eachMember(const std::string& body, Visit&& visit) {
    if (NetworkJson::nestsTooDeeply(body)) {
        return false;
    }
    // The reader looks a little past the end of the text: a body without room for that is
    // read from a padded copy.
    static_assert(HttpResponse::bodySpare >= simdjson::SIMDJSON_PADDING);
    std::optional<simdjson::padded_string> copy;
    if (body.capacity() - body.size() < simdjson::SIMDJSON_PADDING) {
        copy.emplace(body);
    }
    const simdjson::padded_string_view text =
        copy ? simdjson::padded_string_view(*copy)
             : simdjson::padded_string_view(body.data(), body.size(), body.capacity());
    ondemand::parser parser;
    ondemand::document document;
    ondemand::object root;
    if (parser.iterate(text).get(document) != simdjson::SUCCESS ||
        document.get_object().get(root) != simdjson::SUCCESS) {
        return false;
    }
    for (auto member : root) {
        std::string_view name;
        Value value;
        if (member.unescaped_key().get(name) != simdjson::SUCCESS ||
            member.value().get(value) != simdjson::SUCCESS || !visit(name, value)) {
            return false;
        }
    }
    // Nothing may follow the root object; past its end there is no location.
    const char* rest = nullptr;
    return document.current_location().get(rest) != simdjson::SUCCESS;
}

// Each member of an object value; false when the value is not an object or is malformed.
template <typename Visit>
bool eachObjectMember(Value& value, Visit&& visit) {
    ondemand::object object;
    if (value.get_object().get(object) != simdjson::SUCCESS) {
        return false;
    }
    for (auto member : object) {
        std::string_view name;
        Value inner;
        if (member.unescaped_key().get(name) != simdjson::SUCCESS ||
            member.value().get(inner) != simdjson::SUCCESS) {
            return false;
        }
        visit(name, inner);
    }
    return true;
}

bool isType(Value& value, ondemand::json_type type) {
    ondemand::json_type actual{};
    return value.type().get(actual) == simdjson::SUCCESS && actual == type;
}

std::optional<std::string_view> unescaped(Value& value) {
    std::string_view text;
    if (!isType(value, ondemand::json_type::string) ||
        value.get_string().get(text) != simdjson::SUCCESS) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> text(Value& value) {
    const auto found = unescaped(value);
    return found ? std::optional<std::string>(*found) : std::nullopt;
}

// Trimmed while still a view into the reader's buffer, which saves a copy of a long reply.
std::optional<std::string> trimmedText(Value& value) {
    const auto found = unescaped(value);
    return found ? std::optional<std::string>(Text::trimmed(*found)) : std::nullopt;
}

std::optional<int> failureStatus(Value& value) {
    std::int64_t code = 0;
    if (!isType(value, ondemand::json_type::number) ||
        value.get_int64().get(code) != simdjson::SUCCESS || code < 400 || code > 599) {
        return std::nullopt;
    }
    return static_cast<int>(code);
}

// An error object counts only when it carries a text message.
std::optional<ReplyError> replyError(Value& value) {
    bool hasMessage = false;
    ReplyError error;
    eachObjectMember(value, [&](std::string_view name, Value& member) {
        if (name == "message") {
            hasMessage = text(member).has_value();
        } else if (name == "code") {
            error.status = failureStatus(member);
        }
    });
    return hasMessage ? std::optional(error) : std::nullopt;
}

// The first choice's message; further choices are stepped over unread.
void readFirstChoice(Value& choices, ChatCompletionReply& reply) {
    ondemand::array array;
    if (choices.get_array().get(array) != simdjson::SUCCESS) {
        return;
    }
    for (auto element : array) {
        Value choice;
        if (element.get(choice) != simdjson::SUCCESS) {
            return;
        }
        eachObjectMember(choice, [&](std::string_view name, Value& member) {
            if (name != "message") {
                return;
            }
            reply.content.reset();
            reply.refusal.reset();
            eachObjectMember(member, [&](std::string_view field, Value& inner) {
                if (field == "content") {
                    reply.content = trimmedText(inner);
                } else if (field == "refusal") {
                    reply.refusal = trimmedText(inner);
                }
            });
        });
        return;
    }
}

// The "text" members of the blocks whose "type" is "text", joined in order.
std::string joinedTextBlocks(Value& content) {
    std::string joined;
    ondemand::array array;
    if (content.get_array().get(array) != simdjson::SUCCESS) {
        return joined;
    }
    for (auto element : array) {
        Value block;
        if (element.get(block) != simdjson::SUCCESS) {
            return joined;
        }
        std::optional<std::string> type;
        std::optional<std::string> blockText;
        eachObjectMember(block, [&](std::string_view name, Value& member) {
            if (name == "type") {
                type = text(member);
            } else if (name == "text") {
                blockText = text(member);
            }
        });
        if (type == "text" && blockText) {
            joined += *blockText;
        }
    }
    return joined;
}

} // namespace

std::optional<ChatCompletionReply> ReplyReader::chatCompletion(const std::string& body) {
    ChatCompletionReply reply;
    const bool read = eachMember(body, [&](std::string_view name, Value& value) {
        // A member named twice counts as written last, as a document built from the body would.
        if (name == "choices") {
            reply.content.reset();
            reply.refusal.reset();
            readFirstChoice(value, reply);
        } else if (name == "error") {
            reply.error = replyError(value);
        }
        return true;
    });
    return read ? std::optional(std::move(reply)) : std::nullopt;
}

std::optional<MessagesReply> ReplyReader::messages(const std::string& body) {
    MessagesReply reply;
    const bool read = eachMember(body, [&](std::string_view name, Value& value) {
        if (name == "content") {
            reply.text = joinedTextBlocks(value);
        } else if (name == "stop_reason") {
            reply.stopReason = text(value);
        } else if (name == "error") {
            reply.error = replyError(value);
        }
        return true;
    });
    return read ? std::optional(std::move(reply)) : std::nullopt;
}

} // namespace quorvane
