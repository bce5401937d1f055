#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A `reelhaven` run the test talks to as a person at a terminal would: lines written to its
// standard input, its standard output read as it comes and waited on for a given text with a
// deadline, never for a guessed time. Standard error goes to a file under `dir`. The executable
// is the one ctest names in REELHAVEN_EXECUTABLE. A run still going at destruction is killed.
class LauncherProcess {
public:
    static constexpr std::chrono::seconds kPatience{120};  // generous: CI machines are busy

    LauncherProcess(const std::filesystem::path& dir, const std::vector<std::string>& arguments);
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    // Writes one command line.
    void send(const std::string& line);
    // Reads until `text` shows in what was not yet consumed; returns that stretch up to and with
    // `text` and consumes it. None when the output ends or the deadline passes first.
    std::optional<std::string> waitFor(const std::string& text, std::chrono::seconds patience = kPatience);
    // The same without consuming: `text` anywhere after `since` (an offset into `output()`);
    // where it starts, or none.
    std::optional<size_t> waitSince(size_t since, const std::string& text, std::chrono::seconds patience = kPatience);
    // Runs one host command and returns the screen it left (the host prints one for the command
    // and one for a `wait 0` after it: the second shows what the command's settling left); a
    // line saying so when none comes.
    std::string screenAfter(const std::string& command);
    void signal(int number);
    // Closes the test's end of the run's standard output, as a reader that has seen enough
    // (`| head`) does.
    void closeOutput();
    // Waits for the run to exit by itself, its input left open; the exit status, -1 when it was
    // ended by a signal or did not exit in time (it is killed then).
    int waitForExit(std::chrono::seconds patience = kPatience);
    // Closes the input and reads the output to its end; the exit status, -1 when the run did not
    // exit by itself in time (it is killed then) or was ended by a signal.
    int finish(std::chrono::seconds patience = kPatience);

    const std::string& output() const { return m_out; }
    // The run's process id, for a test that looks at its threads in /proc.
    pid_t pid() const { return m_pid; }
    std::string errors() const;

private:
    // Appends what is ready within `until` to the output; false once the output has ended.
    bool readSome(std::chrono::steady_clock::time_point until);
    void closeInput();
    int reap(int status);

    std::filesystem::path m_errPath;
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_out;
    size_t m_consumed = 0;
    std::optional<int> m_status;
};

}  // namespace testing_support
