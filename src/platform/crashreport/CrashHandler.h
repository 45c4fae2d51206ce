// Writes a crash record (see CrashRecord.h) when the program dies of a fatal signal (SIGSEGV,
// SIGBUS, SIGILL, SIGFPE, SIGABRT), then lets the signal take its course: the action that was
// there before is restored and the signal raised again, so the program still ends as it would
// have, with whatever core dump or debugger was to see it.
//
// The handler runs inside a crashed process, so it uses only async-signal-safe calls (open,
// write, close, clock_gettime, sigaction, raise) on memory prepared beforehand: the folder, the
// release and the list of loaded images, formatted when installing and refreshed on request,
// since dl_iterate_phdr is not safe in a signal handler. It allocates nothing and takes no lock.
// It runs on an alternate signal stack, so the installing thread's stack overflow is recorded
// too; another thread's overflow still ends the program, unrecorded.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

namespace quorvane {

class CrashHandler {
public:
    struct Settings {
        std::filesystem::path directory;
        // The release named in the record; characters other than letters, digits and ".-+_"
        // are written as "_".
        std::string release;
        // When set, a crash is recorded only while it holds true, so that taking consent back
        // takes effect at once.
        const std::atomic<bool>* consent = nullptr;
    };

    // Installs the handler for the five signals, or takes the new settings when it is already
    // installed. The missing folders are made 0700. False, and nothing installed, when the
    // folder cannot be made.
    static bool install(const Settings& settings);
    // Restores the signal actions and the signal stack that were there before.
    static void uninstall();
    static bool isInstalled();

    // Gathers the list of loaded images again when libraries were loaded or unloaded since the
    // last time; one look at the loader's counters otherwise.
    static void refreshImages();
};

} // namespace quorvane
