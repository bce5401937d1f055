// The delegate-visible connected state of WebServer, its coalescing, and the suspension of the
// sockets while the application is in the background.

#include "platform/dispatch/queue.h"
#include "transfer/web_server.h"

namespace reelhaven {

bool WebServer::waitForConnectionsToEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_threads->mutex);
    return m_threads->done.wait_for(lock, timeout, [this] { return m_threads->live == 0; });
}

void WebServer::willStartConnection() {
    m_syncQueue->sync([this] {
        if (m_activeConnections == 0) {
            dispatch::Queue::main()->async([weak = weak_from_this()] {
                auto self = weak.lock();
                if (!self) return;
                if (self->m_disconnectTimer) {
                    self->m_disconnectTimer->invalidate();
                    self->m_disconnectTimer.reset();
                }
                if (!self->m_connected) self->didConnect();
            });
        }
        ++m_activeConnections;
    });
}

void WebServer::didEndConnection() {
    m_syncQueue->sync([this] {
        if (--m_activeConnections > 0) return;
        dispatch::Queue::main()->async([weak = weak_from_this()] {
            auto self = weak.lock();
            if (!self) return;
            double delay;
            bool open;
            {
                std::lock_guard lock(self->m_mutex);
                delay = self->m_options.connectedStateCoalescingInterval;
                open = self->m_acceptor != nullptr;
            }
            if (self->m_disconnectTimer) self->m_disconnectTimer->invalidate();
            self->m_disconnectTimer.reset();
            if (delay > 0 && open) {
                self->m_disconnectTimer = dispatch::Timer::scheduledTimer(
                    delay, false, [weak = std::weak_ptr<WebServer>(self)](dispatch::Timer&) {
                        auto server = weak.lock();
                        if (!server) return;
                        server->m_disconnectTimer.reset();
                        server->didDisconnect();
                    });
            } else {
                self->didDisconnect();
            }
        });
    });
}

std::uint64_t WebServer::activeConnectionCount() const {
    return m_syncQueue->syncValue([this] { return m_activeConnections; });
}

void WebServer::didConnect() {
    m_connected = true;
    if (!isInBackground()) startBackgroundTask();
    if (auto delegate = this->delegate()) delegate->webServerDidConnect(*this);
}

void WebServer::didDisconnect() {
    m_connected = false;
    endBackgroundTask();
    if (auto delegate = this->delegate()) delegate->webServerDidDisconnect(*this);
}

void WebServer::startBackgroundTask() { m_backgroundTask = true; }

void WebServer::endBackgroundTask() {
    if (!m_backgroundTask) return;
    bool closeNow;
    {
        std::lock_guard lock(m_mutex);
        closeNow = m_running && m_running->automaticallySuspendInBackground && m_acceptor != nullptr;
    }
    if (closeNow && isInBackground()) closeSockets();
    m_backgroundTask = false;
}

void WebServer::setApplicationStateProvider(std::function<bool()> isInBackground) {
    m_isInBackground = std::move(isInBackground);
}

bool WebServer::isInBackground() const { return m_isInBackground && m_isInBackground(); }

void WebServer::applicationDidEnterBackground() {
    bool closeNow;
    {
        std::lock_guard lock(m_mutex);
        closeNow = m_running && m_running->automaticallySuspendInBackground && m_acceptor != nullptr;
    }
    if (closeNow && !m_backgroundTask) closeSockets();
}

void WebServer::applicationWillEnterForeground() {
    bool openNow;
    {
        std::lock_guard lock(m_mutex);
        openNow = m_running && m_running->automaticallySuspendInBackground && m_acceptor == nullptr;
    }
    if (openNow) openSockets(nullptr);
}

}  // namespace reelhaven
