#include "support/launcher_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "support/temp_dir.h"

extern char** environ;

namespace testing_support {

LauncherProcess::LauncherProcess(const std::filesystem::path& dir, const std::vector<std::string>& arguments)
    : m_errPath(dir / "launcher-stderr.txt") {
    const char* executable = std::getenv("REELHAVEN_EXECUTABLE");
    if (!executable || !*executable) throw std::runtime_error("REELHAVEN_EXECUTABLE is not set; run through ctest");
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("no pipes");
    // A host that exits early must not kill the test with SIGPIPE on the next line sent.
    ::signal(SIGPIPE, SIG_IGN);

    // The run gets SIGPIPE as a shell would start it, whatever this process does with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{executable};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&m_pid, executable, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(input[0]);
    close(output[1]);
    m_input = input[1];
    m_output = output[0];
    if (spawned != 0) {
        m_pid = -1;
        throw std::runtime_error(std::string("cannot start ") + executable);
    }
}

LauncherProcess::~LauncherProcess() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    closeInput();
    if (m_output >= 0) close(m_output);
}

void LauncherProcess::send(const std::string& line) {
    const std::string text = line + "\n";
    size_t written = 0;
    while (m_input >= 0 && written < text.size()) {
        const ssize_t n = write(m_input, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // the run has gone; the next wait says so
        written += static_cast<size_t>(n);
    }
}

bool LauncherProcess::readSome(std::chrono::steady_clock::time_point until) {
    if (m_output < 0) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    pollfd ready{m_output, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(std::max<long long>(0, left.count())));
    if (polled <= 0) return polled == 0 || errno == EINTR;
    char buffer[65536];
    const ssize_t n = read(m_output, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) return true;
    if (n <= 0) {
        close(m_output);
        m_output = -1;
        return false;
    }
    m_out.append(buffer, static_cast<size_t>(n));
    return true;
}

std::optional<std::string> LauncherProcess::waitFor(const std::string& text, std::chrono::seconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (true) {
        if (const auto found = m_out.find(text, m_consumed); found != std::string::npos) {
            const size_t end = found + text.size();
            std::string stretch = m_out.substr(m_consumed, end - m_consumed);
            m_consumed = end;
            return stretch;
        }
        if (std::chrono::steady_clock::now() >= until || !readSome(until)) return std::nullopt;
    }
}

std::optional<size_t> LauncherProcess::waitSince(size_t since, const std::string& text, std::chrono::seconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (true) {
        if (const auto found = m_out.find(text, since); found != std::string::npos) return found;
        if (std::chrono::steady_clock::now() >= until || !readSome(until)) return std::nullopt;
    }
}

std::string LauncherProcess::screenAfter(const std::string& command) {
    send(command);
    send("wait 0");
    if (!waitFor("\nWindow ")) return "(no screen after " + command + ")";
    auto screen = waitFor("\nWindow ");
    return screen ? "Window " + *screen : "(no screen after " + command + ")";
}

void LauncherProcess::signal(int number) {
    if (m_pid > 0 && !m_status) kill(m_pid, number);
}

void LauncherProcess::closeInput() {
    if (m_input >= 0) close(m_input);
    m_input = -1;
}

void LauncherProcess::closeOutput() {
    if (m_output >= 0) close(m_output);
    m_output = -1;
}

int LauncherProcess::reap(int status) {
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return *m_status;
}

int LauncherProcess::waitForExit(std::chrono::seconds patience) {
    if (m_status) return *m_status;
    // A descriptor for the process, readable once it exits: waited on with the deadline, no polling.
    const int process = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (process >= 0) {
        pollfd exited{process, POLLIN, 0};
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(patience).count();
        while (poll(&exited, 1, static_cast<int>(milliseconds)) < 0 && errno == EINTR) {
        }
        close(process);
        if (!(exited.revents & POLLIN)) kill(m_pid, SIGKILL);
    }
    int status = 0;
    waitpid(m_pid, &status, 0);
    return reap(status);
}

int LauncherProcess::finish(std::chrono::seconds patience) {
    closeInput();
    const auto until = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < until && readSome(until)) {
    }
    if (m_status) return *m_status;
    int status = 0;
    // The output ends when the run exits; one that hangs on with it closed is killed.
    if (m_output >= 0) kill(m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
    return reap(status);
}

std::string LauncherProcess::errors() const { return readFile(m_errPath); }

}  // namespace testing_support
