#include "support/launcher_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

#include "support/temp_dir.h"

namespace testing_support {

std::string shellQuoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

LauncherRun runLauncher(const std::filesystem::path& dir, const std::vector<std::string>& arguments) {
    const char* executable = std::getenv("REELHAVEN_EXECUTABLE");
    if (!executable || !*executable) throw std::runtime_error("REELHAVEN_EXECUTABLE is not set; run through ctest");
    std::string command = shellQuoted(executable);
    for (const auto& argument : arguments) command += " " + shellQuoted(argument);
    const auto out = dir / "stdout.txt";
    const auto err = dir / "stderr.txt";
    command += " </dev/null >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    const int status = std::system(command.c_str());
    LauncherRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

}  // namespace testing_support
