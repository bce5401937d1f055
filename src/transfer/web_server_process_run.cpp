#include "transfer/web_server_process_run.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <optional>

namespace reelhaven {

namespace {

// The start time of process `pid` in clock ticks after boot (field 22 of its stat file), or
// nothing when it does not run. Read with plain system calls: a process that ends while its file is
// read makes the read fail (ESRCH), which a stream would throw.
std::optional<unsigned long long> startTimeOf(pid_t pid) {
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    char buffer[1024];
    ssize_t count;
    do {
        count = ::read(fd, buffer, sizeof buffer);
    } while (count < 0 && errno == EINTR);
    ::close(fd);
    if (count <= 0) return std::nullopt;
    std::string_view text(buffer, static_cast<std::size_t>(count));
    // The command name (field 2) may hold spaces and parentheses: count from its last ')'.
    auto nameEnd = text.rfind(')');
    if (nameEnd == std::string_view::npos) return std::nullopt;
    text.remove_prefix(nameEnd + 1);
    for (int field = 3; field < 22; ++field) {
        text.remove_prefix(std::min(text.size(), text.find_first_not_of(' ')));
        text.remove_prefix(std::min(text.size(), text.find(' ')));
    }
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(' ')));
    text = text.substr(0, text.find(' '));
    unsigned long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool isRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

template <typename Number>
std::optional<Number> leadingNumber(std::string_view& text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace

const std::string& WebServerProcessRun::current() {
    // Never destroyed: an upload's thread may still name its file while the process exits.
    static const auto& run = *new std::string([] {
        pid_t pid = ::getpid();
        return std::to_string(pid) + "." + std::to_string(startTimeOf(pid).value_or(0));
    }());
    return run;
}

std::optional<WebServerProcessRun::Named> WebServerProcessRun::ownerOf(std::string_view name) {
    auto pid = leadingNumber<pid_t>(name);
    if (!pid || *pid <= 0 || name.empty() || name.front() != '.') return std::nullopt;
    name.remove_prefix(1);
    auto start = leadingNumber<unsigned long long>(name);
    if (!start || name.empty() || name.front() != '-') return std::nullopt;
    std::string_view rest = name.substr(1);
    if (*pid == ::getpid()) {
        bool same = std::to_string(*pid) + "." + std::to_string(*start) == current();
        return Named{same ? Owner::thisRun : Owner::ended, rest};
    }
    // A process whose start cannot be read (another user's, with /proc hidden) may be the owner.
    auto running = startTimeOf(*pid);
    if (!running) return Named{isRunning(*pid) ? Owner::otherLiveRun : Owner::ended, rest};
    return Named{*running == *start ? Owner::otherLiveRun : Owner::ended, rest};
}

}  // namespace reelhaven
