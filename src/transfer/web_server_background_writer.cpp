#include "transfer/web_server_background_writer.h"

#include <unistd.h>

#include <cerrno>

#include "transfer/web_server_body_writer.h"

namespace reelhaven {

namespace {

foundation::Status writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t count = ::write(fd, data.data(), data.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return WebServerPOSIXError(errno);
        }
        data.remove_prefix(static_cast<std::size_t>(count));
    }
    return {};
}

}  // namespace

WebServerBackgroundWriter::WebServerBackgroundWriter(int fd) : m_fd(fd) {
    m_current.reserve(kBufferSize);
    m_thread = std::thread([this] { run(); });
}

WebServerBackgroundWriter::~WebServerBackgroundWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

foundation::Status WebServerBackgroundWriter::write(std::string_view data) {
    while (!data.empty()) {
        // The copy is made outside the lock, into the buffer only this caller fills.
        std::size_t take = std::min(kBufferSize - m_current.size(), data.size());
        m_current.append(data.data(), take);
        data.remove_prefix(take);
        if (m_current.size() < kBufferSize) break;
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_queuedBytes < kMaxQueued || m_error; });
        if (m_error) return *m_error;
        queueCurrentWithLock();
    }
    std::lock_guard lock(m_mutex);
    if (m_error) return *m_error;
    return {};
}

foundation::Status WebServerBackgroundWriter::finish() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_current.empty() && !m_error) queueCurrentWithLock();
        m_finishing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_mutex);
    if (m_error) return *m_error;
    return {};
}

void WebServerBackgroundWriter::queueCurrentWithLock() {
    m_queuedBytes += m_current.size();
    m_queue.push_back(std::move(m_current));
    if (!m_spare.empty()) {
        m_current = std::move(m_spare.back());
        m_spare.pop_back();
        m_current.clear();
    } else {
        m_current = std::string();
        m_current.reserve(kBufferSize);
    }
    m_changed.notify_all();
}

void WebServerBackgroundWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return !m_queue.empty() || m_finishing || m_cancelled; });
        if (m_cancelled || m_queue.empty()) return;
        std::string buffer = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        auto written = writeAll(m_fd, buffer);
        lock.lock();
        m_queuedBytes -= buffer.size();
        if (!written && !m_error) {
            m_error = written.error();
            for (const auto& dropped : m_queue) m_queuedBytes -= dropped.size();
            m_queue.clear();
        }
        if (m_spare.size() < 2) m_spare.push_back(std::move(buffer));
        m_changed.notify_all();
    }
}

}  // namespace reelhaven
