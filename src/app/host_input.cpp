#include "app/host_input.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

#include "platform/base/escaped_text.h"
#include "platform/base/log.h"
#include "platform/foundation/file_descriptor.h"

namespace reelhaven {

namespace {

foundation::Error scriptError(const std::filesystem::path& file, std::string_view problem) {
    return {"ScriptInputErrorDomain", 1,
            "cannot read the script " + base::escapedText(file.string()) + ": " + std::string(problem)};
}

// Why a script of this type is refused; empty for a regular file or a pipe, the two that end.
std::string_view scriptTypeProblem(mode_t mode) {
    if (S_ISREG(mode) || S_ISFIFO(mode)) return "";
    if (S_ISDIR(mode)) return "it is a folder, not a file of commands";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file of commands";
    if (S_ISSOCK(mode)) return "it is a socket, not a file of commands";
    return "it is no regular file or pipe";
}

}  // namespace

foundation::Result<std::unique_ptr<ScriptInput>> ScriptInput::open(const std::filesystem::path& file) {
    const auto unreadable = [&file] {
        return foundation::Error::posix(errno, "cannot read the script " + base::escapedText(file.string()));
    };
    // A device is judged by its name alone: opening one can act, and one such as /dev/zero never
    // ends, so reading it would take the machine's memory.
    struct stat named {};
    if (::stat(file.c_str(), &named) != 0) return unreadable();
    if (auto problem = scriptTypeProblem(named.st_mode); !problem.empty()) return scriptError(file, problem);
    foundation::FileDescriptor script(::open(file.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!script || ::fstat(script.get(), &opened) != 0) return unreadable();
    // What was opened counts: the name may lead elsewhere by now.
    if (auto problem = scriptTypeProblem(opened.st_mode); !problem.empty()) return scriptError(file, problem);

    const auto tooLong = [&file](std::size_t number) {
        return scriptError(
            file, "line " + std::to_string(number) + " is longer than " + std::to_string(kMaxLineBytes) + " bytes");
    };
    std::vector<std::string> lines;
    std::string pending;
    std::array<char, 64 * 1024> buffer{};
    for (bool ended = false; !ended;) {
        const ssize_t count = ::read(script.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return unreadable();
        ended = count == 0;
        // What was pending holds no line break: only the new bytes are searched.
        std::size_t start = 0;
        std::size_t from = pending.size();
        pending.append(buffer.data(), static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending.find('\n', from)) != std::string::npos; start = from = end + 1) {
            if (end - start > kMaxLineBytes) return tooLong(lines.size() + 1);
            lines.push_back(pending.substr(start, end - start));
        }
        pending.erase(0, start);
        // Checked as the bytes come, so a file of one endless line is never read to its end.
        if (pending.size() > kMaxLineBytes) return tooLong(lines.size() + 1);
        // A last line without its line break still counts.
        if (ended && !pending.empty()) lines.push_back(std::move(pending));
    }
    return std::unique_ptr<ScriptInput>(new ScriptInput(std::move(lines)));
}

std::optional<std::string> ScriptInput::next() {
    if (finished()) return std::nullopt;
    return m_lines[m_next++];
}

foundation::Result<std::unique_ptr<StreamInput>> StreamInput::start(int fd, std::function<void()> onReady) {
    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0) return foundation::Error::posix(errno, "pipe");
    std::unique_ptr<StreamInput> input(new StreamInput(fd, wake[0], wake[1], std::move(onReady)));
    input->m_thread = std::thread([raw = input.get()] { raw->read(); });
    return input;
}

StreamInput::StreamInput(int fd, int wakeRead, int wakeWrite, std::function<void()> onReady)
    : m_fd(fd), m_wakeRead(wakeRead), m_wakeWrite(wakeWrite), m_onReady(std::move(onReady)) {}

StreamInput::~StreamInput() {
    char stop = 's';
    [[maybe_unused]] auto written = ::write(m_wakeWrite, &stop, 1);
    if (m_thread.joinable()) m_thread.join();
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

std::optional<std::string> StreamInput::next() {
    std::lock_guard lock(m_mutex);
    if (m_lines.empty()) return std::nullopt;
    auto line = std::move(m_lines.front());
    m_lines.pop_front();
    return line;
}

bool StreamInput::finished() const {
    std::lock_guard lock(m_mutex);
    return m_ended && m_lines.empty();
}

void StreamInput::warnLineDropped() {
    base::log(base::LogLevel::warning, "input",
              "a line longer than " + std::to_string(kMaxLineBytes) + " bytes was dropped");
}

void StreamInput::read() {
    std::string pending;
    bool dropping = false;  // the line being read has passed the bound
    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents != 0) return;  // this object is going; nobody waits for lines any more
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (count <= 0) break;
        // What was pending holds no line break: only the new bytes are searched.
        size_t from = pending.size();
        pending.append(buffer, static_cast<size_t>(count));
        bool any = false;
        for (size_t end; (end = pending.find('\n', from)) != std::string::npos; from = 0) {
            if (dropping) {
                dropping = false;  // the end of a line given up
            } else if (end > kMaxLineBytes) {
                warnLineDropped();
            } else {
                std::lock_guard lock(m_mutex);
                m_lines.push_back(pending.substr(0, end));
                any = true;
            }
            pending.erase(0, end + 1);
        }
        if (pending.size() > kMaxLineBytes) {
            if (!dropping) warnLineDropped();
            dropping = true;
            pending.clear();
        }
        if (any) m_onReady();
    }
    {
        // A last line without its line break still counts.
        std::lock_guard lock(m_mutex);
        if (!pending.empty() && !dropping) m_lines.push_back(std::move(pending));
        m_ended = true;
    }
    m_onReady();
}

std::optional<std::string> EndlessInput::next() {
    auto line = m_input->next();
    if (!line && m_onEnd && m_input->finished()) std::exchange(m_onEnd, nullptr)();
    return line;
}

}  // namespace reelhaven
