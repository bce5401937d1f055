// Seek latency of the player screen: the time from `skipForward()` (the skip button, the right
// arrow: +15 s, the default interval) and from Shift+right (one second, exactly) to the player's
// playback-restart event, on a 1080p H.264 clip with a keyframe every 2 s. The player screen is made
// as the tests make it (storyboard creator, presented over an empty root screen in a window of a
// foreground scene) and shown in a desktop window (the display host, as `--display` shows it), with
// real libmpv decoding in software, the null audio output and the real clock. Each seek starts from
// a paused, settled picture at a position between keyframes, reached by an exact seek that is not
// timed. Beside it, round by round, the same seeks with the same arguments inside one running mpv
// paused on the same clip, in a window of the same size (bench::MpvPeer: its JSON IPC), from the
// command to its playback-restart event. Both sides stop at the same event: mpv sends it once the
// frame at the target is up in its window, and the window host shows ours as it comes.
//
// Usage: bench_player_seek CLIP [ROUNDS] [WIDTH HEIGHT]   (needs a display: run.sh starts an Xvfb)
// (prints median and p90 in milliseconds, and the ratio of the medians, ours over mpv's)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/mpv_peer.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_storyboard.h"
#include "playback/reelhaven_view_controller.h"

using namespace reelhaven;
using Clock = std::chrono::steady_clock;

namespace {

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figures {
    double median = 0;
    double p90 = 0;
};

Figures figures(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[static_cast<std::size_t>(q * (samples.size() - 1) + 0.5)]; };
    return {at(0.5), at(0.9)};
}

void print(const std::string& name, const std::vector<double>& samples, int asked) {
    const Figures f = figures(samples);
    std::printf("%-48s median %7.1f ms  p90 %7.1f ms  (%zu of %d)\n", name.c_str(), f.median, f.p90, samples.size(),
                asked);
}

void ratio(const char* name, const std::vector<double>& ours, const std::vector<double>& theirs) {
    const double peer = figures(theirs).median;
    if (peer > 0) std::printf("  %s: %.2fx mpv's median\n", name, figures(ours).median / peer);
}

// The player screen in a desktop window, on the real clock, with its playback restarts stamped.
class SeekingPlayer {
public:
    SeekingPlayer(std::unique_ptr<display::DisplayHost> host, const std::string& clip, ui::Size size)
        : m_host(std::move(host)) {
        m_screen = ui::Screen::create({0, 0, size.width, size.height}, 1.0);
        m_scene = ui::WindowScene::create(ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "bench"),
                                          m_screen);
        m_scene->setActivationState(ui::SceneActivationState::foregroundActive);
        m_window = ui::Window::create(m_scene);
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        m_host->show(m_window);
        registerReelhavenStoryboard();

        auto video = Video::create(foundation::URL::fileURLWithPath(clip), LibraryItemType::file, false);
        auto info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
        auto made = ui::Storyboard::named(ReelhavenViewController::kStoryboardName)
                        ->instantiateViewController(
                            ReelhavenViewController::kStoryboardIdentifier, [&](const ui::Coder& coder) {
                                return ReelhavenViewController::create(coder, info, m_mediaCenter);
                            });
        player = std::dynamic_pointer_cast<ReelhavenViewController>(made);
        player->setSessionOptions({"no", "null", preferences, nullptr, m_screen});
        m_root->present(player, false);
        // The player's own hook stays first; the stamp is taken as the event reaches the main
        // thread, as the peer's is taken as its event reaches this process.
        auto playerRestarted = player->session()->onPlaybackRestart;
        player->session()->onPlaybackRestart = [this, playerRestarted] {
            if (playerRestarted) playerRestarted();
            m_restarts.push_back(Clock::now());
        };
    }
    ~SeekingPlayer() {
        player->close(false);
        player->session()->commandQueue()->sync([] {});
        waitFor([&] { return m_root->presentedViewController() == nullptr; });
        player.reset();
        m_host.reset();
    }

    // Serves the window and the main run loop until `condition` holds (looked at every 2 ms: when
    // the harness notices, not what is timed) or a minute passes.
    bool waitFor(const std::function<bool()>& condition) {
        if (condition()) return true;
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        bool met = false;
        auto loop = dispatch::RunLoop::main();
        auto look = dispatch::Timer::scheduledTimer(0.002, true, [&](dispatch::Timer&) {
            met = condition();
            if (met || Clock::now() > deadline) loop->stop();
        });
        m_host->run();
        look->invalidate();
        return met;
    }

    bool start() {
        if (!waitFor([&] {
                auto info = player->playbackInfo();
                return player->session()->hasLoaded(*info) && info->duration().has_value() && !m_restarts.empty();
            }))
            return false;
        player->setPaused(true, true);
        return settle();
    }

    // Runs `seek` and returns the time from the call to the player's next playback restart.
    std::optional<double> timed(const std::function<void()>& seek) {
        const std::size_t before = m_restarts.size();
        const auto start = Clock::now();
        seek();
        if (!waitFor([&] { return m_restarts.size() > before; })) return std::nullopt;
        const double elapsed = milliseconds(m_restarts[before] - start);
        if (!settle()) return std::nullopt;
        return elapsed;
    }

    std::shared_ptr<ReelhavenViewController> player;
    std::shared_ptr<Preferences> preferences = Preferences::create(
        foundation::UserDefaults::create(std::filesystem::temp_directory_path() / "bench-player-seek-defaults.json"));

private:
    // The same quiet time the peer keeps after each of its seeks, so the next starts from a still
    // player on both sides.
    bool settle() {
        const auto until = Clock::now() + std::chrono::milliseconds(bench::MpvPeer::kSettleMs);
        return waitFor([&] { return Clock::now() >= until; });
    }

    std::unique_ptr<display::DisplayHost> m_host;
    std::shared_ptr<ui::Screen> m_screen;
    std::shared_ptr<ui::WindowScene> m_scene;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root = ui::ViewController::create();
    std::shared_ptr<MediaCenterService> m_mediaCenter = MediaCenterService::create();
    std::vector<Clock::time_point> m_restarts;
};

std::string decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CLIP [ROUNDS] [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const std::string clip = std::filesystem::absolute(argv[1]).string();
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    const ui::Size size =
        argc > 4 ? ui::Size{std::strtod(argv[3], nullptr), std::strtod(argv[4], nullptr)} : ui::Size{640, 360};
    const auto home = std::filesystem::temp_directory_path() / "reelhaven-bench-player-seek";
    std::filesystem::create_directories(home);
    foundation::ScopedContainer container(home);

    // Before any GL context: the renderer's then shares the window's.
    auto host = display::DisplayHost::open({"bench", size});
    if (!host) {
        std::fprintf(stderr, "no window: %s (run under a display; run.sh starts an Xvfb)\n",
                     host.error().description.c_str());
        return 1;
    }
    auto peer = bench::MpvPeer::start(clip, static_cast<int>(size.width), static_cast<int>(size.height));
    if (!peer || !peer->drawsFrames()) {
        std::fprintf(stderr, "mpv did not start in a window with its IPC socket\n");
        return 1;
    }
    SeekingPlayer screen(std::move(host.value()), clip, size);
    if (!screen.start()) {
        std::fprintf(stderr, "the player screen did not show the clip\n");
        return 1;
    }
    auto& player = *screen.player;
    // The skip the player makes, made by mpv too.
    const int skip = ReelhavenViewController::skipInterval(screen.preferences->skipInterval.wrappedValue());
    ui::Press shiftRight;
    shiftRight.key.keyCode = ui::Key::rightArrow;
    shiftRight.key.modifierFlags = ui::Key::shift;

    // Start positions between keyframes (every 2 s), spread over the clip.
    std::vector<double> skips, shifts, skipsPeer, shiftsPeer;
    for (int i = 0; i < rounds; ++i) {
        const double at = 3.3 + std::fmod(i * 7.7, 90.0);
        // Ours and mpv's alternate seek by seek, so a swing of the machine's load touches both alike.
        if (screen.timed([&] { player.seekTo(at); })) {
            if (auto ms = screen.timed([&] { player.skipForward(); })) skips.push_back(*ms);
        }
        if (peer->seek({decimal(at), "absolute+exact"}))
            if (auto ms = peer->seek({std::to_string(skip), "relative"})) skipsPeer.push_back(*ms);
        if (screen.timed([&] { player.seekTo(at); })) {
            if (auto ms = screen.timed([&] { player.pressesBegan({shiftRight}); })) shifts.push_back(*ms);
        }
        if (peer->seek({decimal(at), "absolute+exact"}))
            if (auto ms = peer->seek({"1", "relative+exact"})) shiftsPeer.push_back(*ms);
    }

    std::printf("seek to playback restart, %s, %.0fx%.0f windows, %d rounds; mpv --vo=gpu --gpu-sw\n",
                std::filesystem::path(clip).filename().c_str(), size.width, size.height, rounds);
    const std::string skipName = "+" + std::to_string(skip) + " s, relative";
    print("player skipForward (" + skipName + ")", skips, rounds);
    print("mpv in one process, seek " + std::to_string(skip) + " relative", skipsPeer, rounds);
    ratio("skipForward", skips, skipsPeer);
    print("player Shift+right (+1 s, relative+exact)", shifts, rounds);
    print("mpv in one process, seek 1 relative+exact", shiftsPeer, rounds);
    ratio("Shift+right", shifts, shiftsPeer);
    return 0;
}
