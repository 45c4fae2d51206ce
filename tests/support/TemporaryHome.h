#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace quorvane::test {

// A private home for one test process: HOME, TMPDIR and the XDG base
// directories point into a fresh temporary directory, removed again on
// destruction, so no test ever reads or writes the user's real files.
// The API-key variables are cleared so the developer's own keys never leak in.
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
    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace quorvane::test
