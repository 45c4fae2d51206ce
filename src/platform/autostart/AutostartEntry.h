// The login item on Linux: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/quorvane.desktop, that desktop sessions start at
// login. The entry counts as enabled only while the file exists and neither
// hides itself (Hidden=true) nor is switched off (X-GNOME-Autostart-enabled=false).
#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

class AutostartEntry {
public:
    // The user's entry for the running executable (/proc/self/exe).
    AutostartEntry();
    AutostartEntry(std::filesystem::path entryFile, std::filesystem::path executable);

    const std::filesystem::path& entryFile() const { return entryFile_; }
    const std::filesystem::path& executable() const { return executable_; }

    bool isEnabled() const;

    // Both throw std::runtime_error with a readable description when the entry
    // cannot be written or removed. Removing an absent entry succeeds.
    void registerEntry() const;
    void unregisterEntry() const;

    // The contents written by registerEntry().
    std::string desktopEntryText() const;

    // The executable as one Exec argument: always quoted, escaped for both the
    // Exec rules and the string-value rules of the desktop entry format.
    static std::string quotedExecArgument(const std::string& path);

    // The program a /proc/<pid>/exe link names, also after its file was replaced on disk;
    // empty when the link cannot be read.
    static std::filesystem::path executableBehind(const std::filesystem::path& link);

    // $XDG_CONFIG_HOME/autostart/quorvane.desktop, $HOME/.config/... when the
    // variable is unset, empty or not absolute.
    static std::filesystem::path defaultEntryFile();

private:
    std::filesystem::path entryFile_;
    std::filesystem::path executable_;
};

} // namespace quorvane
