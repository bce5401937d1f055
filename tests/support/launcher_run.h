#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// What one run of the `reelhaven` executable left: its exit status and its two streams.
struct LauncherRun {
    int status = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// `text` as one word for the shell.
std::string shellQuoted(const std::string& text);

// Runs the executable ctest names in REELHAVEN_EXECUTABLE with `arguments` and no input, its streams
// caught in files under `dir`, and waits for it.
LauncherRun runLauncher(const std::filesystem::path& dir, const std::vector<std::string>& arguments);

}  // namespace testing_support
