#include "app/host_player_settle.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/dispatch/work_queue.h"
#include "playback/model/playback_info.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {
constexpr auto kLongestSeekWait = std::chrono::seconds(5);
constexpr auto kSeekPoll = std::chrono::milliseconds(2);
constexpr int kQuietReads = 3;
constexpr auto kQuietWindow = std::chrono::milliseconds(30);
// How far the shown time may lag mpv's position: less than a tick of a playing video's clock.
constexpr double kShownLag = 0.5;
}  // namespace

void settlePlayer(ReelhavenViewController& player) {
    auto session = player.session();
    if (!session || !session->mpv()) return;
    auto queue = session->commandQueue();
    queue->sync([] {});
    const auto deadline = std::chrono::steady_clock::now() + kLongestSeekWait;
    // A seek just handed to mpv starts on a later turn of its core, so a "not seeking" may come
    // before it: only one that lasts a while says the seek has landed. Playing, the next tick of
    // the player's clock shows the time anyway; paused, only this shows it.
    const auto quietFor = player.playbackInfo()->isPaused() ? kQuietWindow : std::chrono::milliseconds(0);
    auto quietSince = std::chrono::steady_clock::now();
    int quietReads = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const bool seeking = queue->syncValue([&] { return session->stringProperty("seeking"); }) == "yes";
        const auto now = std::chrono::steady_clock::now();
        if (seeking) {
            quietReads = 0;
            quietSince = now;
        } else if (++quietReads >= kQuietReads && now - quietSince >= quietFor) {
            break;
        }
        // mpv's own threads carry the seek out; nothing on this side can make it land sooner.
        std::this_thread::sleep_for(kSeekPoll);
    }
    // The events of the landing are drained on the command queue, which hands them to the main queue.
    queue->sync([] {});
    // The labels follow the position on the player's clock; one that a seek moved shows now.
    // Only then: each tick animates the slider, so ticking on every round would never rest.
    const auto position = queue->syncValue([&] { return session->doubleProperty("time-pos"); });
    if (position && std::abs(*position - player.playbackInfo()->progress()) > kShownLag) player.syncUITime();
}

}  // namespace reelhaven
