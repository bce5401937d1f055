#include "app/host_input.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <utility>

#include "platform/base/escaped_text.h"

namespace reelhaven {

foundation::Result<std::unique_ptr<ScriptInput>> ScriptInput::open(const std::filesystem::path& file) {
    std::ifstream stream(file);
    if (!stream) return foundation::Error::posix(errno, "cannot read the script " + base::escapedText(file.string()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) lines.push_back(std::move(line));
    if (stream.bad())
        return foundation::Error::posix(EIO, "cannot read the script " + base::escapedText(file.string()));
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

void StreamInput::read() {
    std::string pending;
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
        pending.append(buffer, static_cast<size_t>(count));
        bool any = false;
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::lock_guard lock(m_mutex);
            m_lines.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
            any = true;
        }
        if (any) m_onReady();
    }
    {
        // A last line without its line break still counts.
        std::lock_guard lock(m_mutex);
        if (!pending.empty()) m_lines.push_back(std::move(pending));
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
