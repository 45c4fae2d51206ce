// Hostile replies for the providers' robustness tests: bodies that are not
// the JSON a provider expects, and a handler that drops the connection.
#pragma once

#include "LoopbackServer.h"

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::test {

struct MalformedBody {
    std::string label; // usable as a test name
    std::string body;
    friend void PrintTo(const MalformedBody& row, std::ostream* out) { *out << row.label; }
};

// Malformed, truncated, deeply nested, huge and binary bodies, each sent with status 200.
const std::vector<MalformedBody>& malformedBodies();

// Answers with a 200 status line and headers that promise a body, then closes
// the connection before sending any of it.
LoopbackServer::Handler closingMidBody();

// Answers every request with this status and JSON body.
LoopbackServer::Handler replyWith(int status, std::string body);

} // namespace quorvane::test
