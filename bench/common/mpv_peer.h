#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// The like-for-like peer of the player's seeks: one mpv process, paused on a clip, driven over its
// JSON IPC socket (`--input-ipc-server`), so a seek costs what a seek costs inside one running
// player, without process start or file opening. With a display (DISPLAY or WAYLAND_DISPLAY) it
// draws as the player does (`--vo=gpu --gpu-sw`, software GL, in a window of the player's view
// size); without one it decodes only (`--vo=null`), which `drawsFrames()` says: its times are
// then no peer of the player's.
class MpvPeer {
public:
    // Starts mpv on `clip` and waits until the clip is open and its first frame is up; none when
    // mpv does not start or open it within a minute.
    static std::unique_ptr<MpvPeer> start(const std::string& clip, int width, int height);
    ~MpvPeer();
    MpvPeer(const MpvPeer&) = delete;
    MpvPeer& operator=(const MpvPeer&) = delete;

    // Sends `seek ARGS...` and returns the milliseconds until mpv's playback-restart event, which
    // mpv sends once the first frame at the target was shown. Then waits `settleMs` so the next
    // seek starts from a quiet player. None on an error or after a minute.
    static constexpr int kSettleMs = 300;
    std::optional<double> seek(const std::vector<std::string>& arguments, int settleMs = kSettleMs);
    std::optional<double> position();
    bool drawsFrames() const { return m_drawsFrames; }

private:
    MpvPeer() = default;
    bool send(const std::string& line);
    // The next line mpv sends, none after `timeoutMs` or when the socket closed.
    std::optional<std::string> readLine(int timeoutMs);
    // Reads lines until one holds `needle`; none on a time-out.
    std::optional<std::string> waitFor(const std::string& needle, int timeoutMs);

    pid_t m_pid = -1;
    int m_socket = -1;
    std::string m_path;
    std::string m_buffer;
    bool m_drawsFrames = false;
    int m_requestId = 0;
};

}  // namespace bench
