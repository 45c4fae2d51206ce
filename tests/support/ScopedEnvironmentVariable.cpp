#include "ScopedEnvironmentVariable.h"

#include <cstdlib>

namespace quorvane::test {

namespace {

void assign(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

} // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name,
                                                     const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) {
        saved_ = old;
    }
    assign(name_, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    assign(name_, saved_);
}

} // namespace quorvane::test
