#pragma once

#include <atomic>
#include <cstdint>

namespace reelhaven {

// The seeks and loads a player has asked mpv for, against the playback restarts that end them: from
// mpv's own events, whether the position may still move while paused. A position that merely held
// still says nothing (a seek asked for but not yet begun looks just the same).
//
// A restart lands every request mpv had been handed when the restart was read; a request still on
// its way to mpv stays in flight. (A restart of an earlier seek read just after a later one was
// handed over lands both; the later one's own restart follows and is acted on all the same.)
//
// Thread-safe: requests are asked for on the main thread, handed over and restarted on the
// command queue.
class SeekLedger {
public:
    void asked() { m_asked.fetch_add(1); }
    // mpv took the request, or refused it: a refused one never restarts, so it ends here.
    void handedOver(bool accepted) {
        const auto sent = m_sent.fetch_add(1) + 1;
        if (!accepted) m_landed.store(sent);
    }
    void restarted() { m_landed.store(m_sent.load()); }
    bool inFlight() const { return m_landed.load() < m_asked.load(); }

private:
    std::atomic<std::uint64_t> m_asked{0};
    std::atomic<std::uint64_t> m_sent{0};
    std::atomic<std::uint64_t> m_landed{0};
};

}  // namespace reelhaven
