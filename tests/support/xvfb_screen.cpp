#include "support/xvfb_screen.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace testing_support {

XvfbScreen::XvfbScreen(const std::string& screen) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
        // The write end only is passed on, as the descriptor Xvfb writes its display number to.
        const int out = ::dup(ends[1]);
        const int quiet = ::open("/dev/null", O_RDWR);
        ::dup2(quiet, STDIN_FILENO);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(out);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                 "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ends[1]);
    // Xvfb writes the number once it takes clients; the pipe ends empty when it stopped first.
    std::string number;
    char c = 0;
    while (m_pid > 0) {
        const ssize_t n = ::read(ends[0], &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || c == '\n') break;
        number += c;
    }
    ::close(ends[0]);
    if (!number.empty()) m_display = ":" + number;
}

XvfbScreen::~XvfbScreen() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace testing_support
