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
// How far the shown time may lag mpv's position: less than a tick of a playing video's clock.
constexpr double kShownLag = 0.5;
}  // namespace

void settlePlayer(ReelhavenViewController& player) {
    auto session = player.session();
    if (!session || !session->mpv()) return;
    auto queue = session->commandQueue();
    queue->sync([] {});
    const auto deadline = std::chrono::steady_clock::now() + kLongestSeekWait;
    for (int i = 0; i < 20; ++i) {
        auto v = queue->syncValue([&] { return session->stringProperty("seeking"); });
        auto t = queue->syncValue([&] { return session->stringProperty("time-pos"); });
        fprintf(stderr, "DBG %d %s %s\n", i, v.value_or("-").c_str(), t.value_or("-").c_str());
    }
    while (queue->syncValue([&] { return session->stringProperty("seeking"); }) == std::optional<std::string>("yes") &&
           std::chrono::steady_clock::now() < deadline) {
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
