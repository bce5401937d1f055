#include "transfer/web_server_process_run.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

namespace reelhaven {

namespace {

// The start time of process `pid` in clock ticks after boot (field 22 of its stat file), or
// nothing when it does not run.
std::optional<unsigned long long> startTimeOf(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name (field 2) may hold spaces and parentheses: count from its last ')'.
    auto close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    for (int index = 3; index <= 22; ++index) {
        if (!(fields >> field)) return std::nullopt;
    }
    unsigned long long start = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), start);
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return start;
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
    static const std::string run = [] {
        pid_t pid = ::getpid();
        return std::to_string(pid) + "." + std::to_string(startTimeOf(pid).value_or(0));
    }();
    return run;
}

WebServerProcessRun::Owner WebServerProcessRun::ownerOf(std::string_view name) {
    auto pid = leadingNumber<pid_t>(name);
    if (!pid || *pid <= 0 || name.empty()) return Owner::ended;
    if (name.front() == '-') {
        // The older form, made by builds that named the process only.
        return *pid != ::getpid() && isRunning(*pid) ? Owner::otherLiveRun : Owner::ended;
    }
    if (name.front() != '.') return Owner::ended;
    name.remove_prefix(1);
    auto start = leadingNumber<unsigned long long>(name);
    if (!start || name.empty() || name.front() != '-') return Owner::ended;
    if (*pid == ::getpid()) {
        return std::to_string(*pid) + "." + std::to_string(*start) == current() ? Owner::thisRun : Owner::ended;
    }
    // A process whose start cannot be read (another user's, with /proc hidden) may be the owner.
    auto running = startTimeOf(*pid);
    if (!running) return isRunning(*pid) ? Owner::otherLiveRun : Owner::ended;
    return *running == *start ? Owner::otherLiveRun : Owner::ended;
}

}  // namespace reelhaven
