// How the program starts. Launching it again while a copy runs is how a desktop shortcut bound
// to it toggles the panel, so that launch has to be quick: it hands "reopen" to the running copy
// and exits before any Qt library is loaded, since loading and relocating Qt with its dozens of
// dependencies and connecting to the display take several times as long as the hand-over. Every
// other launch (the first copy, and the diagnostic modes, which never hand over) loads the
// application module, which holds everything that needs Qt, and runs it.
#pragma once

namespace quorvane {

class Launcher {
public:
    // The function the application module exports under entryPoint.
    using ApplicationMain = int (*)(int argc, char** argv);
    static constexpr const char* entryPoint = "quorvane_application_main";

    // Whether the launch asks for a diagnostic mode: one of the thirteen flags as a whole
    // argument, or THRIM_SELFTEST set to "1".
    static bool requestsDiagnosticMode(int argc, char** argv);

    // module is the application module's path, relative to the executable's folder.
    static int main(int argc, char** argv, const char* module);

private:
    static int runApplication(int argc, char** argv, const char* module);
};

} // namespace quorvane
