#pragma once

#include <functional>
#include <memory>

#include "app/host_input.h"
#include "app/host_session.h"

namespace reelhaven {

// Feeds the session one command line at a time on the main run loop and serves the loop in
// between, until the input ends, `quit`, or a stop request. Main thread, except `wake`.
class HostRunner : public std::enable_shared_from_this<HostRunner> {
public:
    // A script stops at its first failed command; a person at a terminal just reads the error.
    enum class OnFailure { stop, goOn };

    static std::shared_ptr<HostRunner> create(HostSession& session, OnFailure onFailure);

    void setInput(std::unique_ptr<HostInput> input) { m_input = std::move(input); }
    // Serves the main run loop until the end. Returns 0, or 1 when a command failed and the
    // runner stops on failures.
    int run();
    // The same with `serve` serving the main run loop in its place (a desktop window's loop).
    int run(const std::function<void()>& serve);
    // Any thread: lines may be ready; the main queue will take them.
    void wake();
    // The same as a callable for an input's reader thread. It holds the runner only weakly and
    // never locks it there: were the reader to hold the last reference, the runner, and with it
    // the input, would be destroyed on the reader thread, which cannot join itself.
    std::function<void()> waker();
    // Ends after the command under way.
    void requestStop();

private:
    HostRunner(HostSession& session, OnFailure onFailure) : m_session(session), m_onFailure(onFailure) {}
    void pump();
    void finish(int status);

    HostSession& m_session;  // the host owns the session and this runner
    const OnFailure m_onFailure;
    std::unique_ptr<HostInput> m_input;
    bool m_busy = false;
    bool m_finished = false;
    int m_status = 0;
};

}  // namespace reelhaven
