#include "app/host_runner.h"

#include "platform/dispatch/run_loop.h"

namespace reelhaven {

std::shared_ptr<HostRunner> HostRunner::create(HostSession& session, OnFailure onFailure) {
    return std::shared_ptr<HostRunner>(new HostRunner(session, onFailure));
}

int HostRunner::run() {
    return run([] { dispatch::RunLoop::main()->run(); });
}

int HostRunner::run(const std::function<void()>& serve) {
    wake();
    serve();
    return m_status;
}

void HostRunner::wake() { waker()(); }

std::function<void()> HostRunner::waker() {
    return [weak = weak_from_this()] {
        dispatch::RunLoop::main()->post([weak] {
            if (auto self = weak.lock()) self->pump();
        });
    };
}

void HostRunner::requestStop() {
    m_session.setStopRequested();
    if (!m_busy) finish(m_status);
}

void HostRunner::finish(int status) {
    if (m_finished) return;
    m_finished = true;
    m_status = status;
    dispatch::RunLoop::main()->stop();
}

void HostRunner::pump() {
    // A command serves the run loop while it settles; a wake-up served then must not start the
    // next command inside this one.
    if (m_busy || m_finished) return;
    m_busy = true;
    while (!m_finished && !m_session.stopRequested() && m_input) {
        auto line = m_input->next();
        if (!line) break;
        const auto outcome = m_session.executeLine(*line);
        if (outcome == HostSession::Outcome::quit) finish(0);
        if (outcome == HostSession::Outcome::failed && m_onFailure == OnFailure::stop) finish(1);
    }
    m_busy = false;
    if (m_session.stopRequested() || !m_input || m_input->finished()) finish(m_status);
}

}  // namespace reelhaven
