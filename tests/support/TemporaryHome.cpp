#include "TemporaryHome.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvane::test {

namespace {

std::optional<std::string> currentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::filesystem::path makeRoot() {
    const auto base = currentValue("TMPDIR").value_or("/tmp");
    std::string pattern = base + "/quorvane-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed under " + base);
    }
    return std::filesystem::path(buffer.data());
}

// The keys of the developer's own; and the session type, which a test run from a Wayland desktop
// would otherwise hand to every program it starts, moving their hot key off the test's X server.
const char* const clearedVariables[] = {
    "ANTHROPIC_API_KEY", "OPENAI_API_KEY",       "OPENROUTER_API_KEY",
    "GROQ_API_KEY",      "THRIM_CUSTOM_API_KEY", "SENTRY_DSN",
    "THRIM_SELFTEST",    "XDG_SESSION_TYPE",     "WAYLAND_DISPLAY",
};

} // namespace

TemporaryHome::TemporaryHome()
    : root_(makeRoot()) {
    for (const char* sub : {"home", "config", "data", "state", "tmp", "runtime"}) {
        std::filesystem::create_directories(root_ / sub);
    }
    std::filesystem::permissions(root_ / "runtime", std::filesystem::perms::owner_all);
    setVariable("HOME", (root_ / "home").string());
    setVariable("XDG_CONFIG_HOME", configHome().string());
    setVariable("XDG_DATA_HOME", dataHome().string());
    setVariable("XDG_STATE_HOME", stateHome().string());
    setVariable("XDG_RUNTIME_DIR", (root_ / "runtime").string());
    setVariable("TMPDIR", tmp().string());
    for (const char* name : clearedVariables) {
        setVariable(name, std::nullopt);
    }
}

TemporaryHome::~TemporaryHome() {
    while (!variables_.empty()) {
        variables_.pop_back();
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void TemporaryHome::setVariable(const std::string& name, const std::optional<std::string>& value) {
    variables_.emplace_back(name, value);
}

} // namespace quorvane::test
