#include "app/host_player_settle.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "playback/model/playback_info.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {
constexpr auto kLongestSeekWait = std::chrono::seconds(5);
constexpr int kQuietReads = 3;
constexpr auto kQuietWindow = std::chrono::milliseconds(30);
// How far the shown time may lag mpv's position: less than a tick of a playing video's clock.
constexpr double kShownLag = 0.5;
// How long mpv may take to answer an asynchronous ask before the player counts as busy and is
// shown as it is: mpv's core taking in a large subtitle file answers nothing for seconds, and the
// host answers meanwhile. An ordinary load answers within milliseconds, even on a loaded machine.
constexpr auto kUnanswered = std::chrono::seconds(1);
// However busy the player's own work keeps its queue, the screen is shown after this.
constexpr auto kLongestFlush = std::chrono::seconds(30);

// The player found busy by the last settle and the ask it left unanswered: the rounds of one
// settle, and the commands after it, do not wait for it again until mpv has answered. Main thread.
struct Busy {
    std::weak_ptr<MPVSession> session;
    std::uint64_t ping = 0;
};
Busy lastBusy;

// Serves the main run loop until `done`, asking mpv something all the while; false when `limit`
// passed first, or an ask went unanswered for `kUnanswered`.
bool serveWhileMpvAnswers(MPVSession& session, const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (lastBusy.session.lock().get() == &session && !session.answered(lastBusy.ping)) return false;
    auto ping = session.ping();
    auto askedAt = std::chrono::steady_clock::now();
    bool busy = false;
    const bool held = dispatch::RunLoop::main()->runUntil(
        [&] {
            if (done()) return true;
            const auto now = std::chrono::steady_clock::now();
            // A handle gone meanwhile answers nothing more, and keeps nothing busy either.
            if (session.answered(ping) || !session.mpv()) {
                ping = session.ping();
                askedAt = now;
            }
            busy = now - askedAt > kUnanswered;
            return busy;
        },
        limit);
    if (busy) lastBusy = {session.weak_from_this(), ping};
    return held && !busy;
}

// What the player queued for mpv before now has run, and what that handed to the main queue has
// been served; false when mpv kept the queue busy.
bool flushCommandQueue(MPVSession& session) {
    auto flushed = std::make_shared<std::atomic<bool>>(false);
    session.commandQueue()->async([flushed] { *flushed = true; });
    if (!serveWhileMpvAnswers(
            session, [&] { return flushed->load(); }, kLongestFlush))
        return false;
    dispatch::RunLoop::main()->runUntilIdle();
    return true;
}
}  // namespace

void settlePlayer(ReelhavenViewController& player) {
    auto session = player.session();
    if (!session || !session->mpv()) return;
    if (!flushCommandQueue(*session)) return;
    // A seek just handed to mpv starts on a later turn of its core, so a "not seeking" may come
    // before it: only one that lasts a while says the seek has landed. Playing, the next tick of
    // the player's clock shows the time anyway; paused, only this shows it.
    const auto quietFor = player.playbackInfo()->isPaused() ? kQuietWindow : std::chrono::milliseconds(0);
    auto quietSince = std::chrono::steady_clock::now();
    int quietReads = 0;
    const auto landed = [&] {
        const auto now = std::chrono::steady_clock::now();
        if (session->observed().seeking) {
            quietReads = 0;
            quietSince = now;
            return false;
        }
        return ++quietReads >= kQuietReads && now - quietSince >= quietFor;
    };
    // mpv's own threads carry the seek out; nothing on this side can make it land sooner.
    serveWhileMpvAnswers(*session, landed, kLongestSeekWait);
    // The events of the landing are drained on the command queue, which hands them to the main queue.
    if (!flushCommandQueue(*session)) return;
    // The labels follow the position on the player's clock; one that a seek moved shows now.
    // Only then: each tick animates the slider, so ticking on every round would never rest.
    const auto position = session->observed().position;
    if (position && std::abs(*position - player.playbackInfo()->progress()) > kShownLag) player.syncUITime();
}

}  // namespace reelhaven
