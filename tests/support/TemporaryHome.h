#pragma once

#include "ScopedEnvironmentVariable.h"

#include <filesystem>
#include <list>
#include <optional>
#include <string>

namespace quorvane::test {

// A private home for one test process: HOME, TMPDIR and the XDG base
// directories point into a fresh temporary directory, removed again on
// destruction, so no test ever reads or writes the user's real files.
// The API-key variables are cleared so the developer's own keys never leak in, and the
// Wayland session variables so the programs a test starts keep to the test's X server.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();

    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path configHome() const { return root_ / "config"; }
    std::filesystem::path dataHome() const { return root_ / "data"; }
    std::filesystem::path stateHome() const { return root_ / "state"; }
    std::filesystem::path tmp() const { return root_ / "tmp"; }

private:
    void setVariable(const std::string& name, const std::optional<std::string>& value);

    std::filesystem::path root_;
    // Restored in reverse order, so a variable set twice ends as it was before the first.
    std::list<ScopedEnvironmentVariable> variables_;
};

} // namespace quorvane::test
