// Sets (or, with no value, clears) one environment variable for the life of this object and
// puts back what was there before.
#pragma once

#include <optional>
#include <string>

namespace quorvane::test {

class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironmentVariable();

    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace quorvane::test
