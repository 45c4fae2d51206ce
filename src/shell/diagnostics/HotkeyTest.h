// The stored global hot key, its round trip and building one from a key press.
#pragma once

#include "shell/DiagnosticContext.h"

namespace quorvane {

class HotkeyTest {
public:
    static void run(const DiagnosticContext& context);
};

} // namespace quorvane
