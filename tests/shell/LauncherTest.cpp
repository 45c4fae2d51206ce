#include "shell/Launcher.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// A diagnostic mode never hands over to a running copy, so the launcher must know one when it
// sees it, without Qt, exactly as the modes' own dispatch does.
TEST(LauncherTest, KnowsADiagnosticModeFromTheArgumentsAndTheEnvironment) {
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::string> selfTestVariable;
        bool diagnostic;
    } cases[] = {
        {{"quorvane"}, std::nullopt, false},
        {{"quorvane", "--verbose", "--menuprobe"}, std::nullopt, true},
        {{"quorvane", "--telemetryprobe"}, std::nullopt, true},
        {{"quorvane", "--selftest=1", "--menuprobe-x"}, std::nullopt, false},
        // The program's own name is no argument.
        {{"--selftest"}, std::nullopt, false},
        {{"quorvane"}, "1", true},
        {{"quorvane"}, "true", false},
    };
    for (const auto& [arguments, selfTestVariable, diagnostic] : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments) +
                     " THRIM_SELFTEST=" + selfTestVariable.value_or("(unset)"));
        const test::ScopedEnvironmentVariable selfTest("THRIM_SELFTEST", selfTestVariable);
        std::vector<char*> argv;
        for (const auto& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        EXPECT_EQ(Launcher::requestsDiagnosticMode(static_cast<int>(arguments.size()), argv.data()),
                  diagnostic);
    }
}

} // namespace
} // namespace quorvane
