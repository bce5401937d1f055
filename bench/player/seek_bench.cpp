// Seek-to-frame latency of the player screen: the time from `skipForward()` (the skip button,
// the right arrow) and from Shift+right (one second, exactly) to the first frame the OpenGL view
// draws with the new picture, on a 1080p H.264 clip with a keyframe every 2 s. The player screen
// is made as the tests make it (storyboard creator, presented over an empty root screen in a
// window of a foreground scene), with real libmpv decoding in software, the null audio output,
// EGL offscreen and the real clock. Each seek starts from a paused, settled picture at a position
// between keyframes, reached by an exact seek that is not timed. Beside it, round by round, the
// same seeks inside one running mpv paused on the same clip (bench::MpvPeer: its JSON IPC), from
// the command to its playback-restart event, which mpv sends once the frame at the target is up.
//
// Usage: bench_player_seek CLIP [ROUNDS] [WIDTH HEIGHT]
// (prints median and p90 in milliseconds, and the ratio of the medians, ours over mpv's, when mpv
// draws its frames on a display; without one it decodes only and no ratio is given)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/frame_log.h"
#include "common/mpv_peer.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
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

void print(const char* name, const std::vector<double>& samples, int asked) {
    const Figures f = figures(samples);
    std::printf("%-48s median %7.1f ms  p90 %7.1f ms  (%zu of %d)\n", name, f.median, f.p90, samples.size(), asked);
}

void ratio(const char* name, const std::vector<double>& ours, const std::vector<double>& theirs, bool peerDraws) {
    // A peer that draws nothing does less than ours: its times are shown, but not set against ours.
    if (!peerDraws) {
        std::printf("  %s: no ratio, mpv drew no frames (--vo=null, no display): not like for like\n", name);
        return;
    }
    const double peer = figures(theirs).median;
    if (peer > 0) std::printf("  %s: %.2fx mpv's median\n", name, figures(ours).median / peer);
}

// The player screen in a window, on the real clock, with the GL view's frames stamped.
class SeekingPlayer {
public:
    SeekingPlayer(const std::string& clip, ui::Size size) {
        screen = ui::Screen::create({0, 0, size.width, size.height}, 1.0);
        scene =
            ui::WindowScene::create(ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "bench"), screen);
        scene->setActivationState(ui::SceneActivationState::foregroundActive);
        window = ui::Window::create(scene);
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        registerReelhavenStoryboard();

        auto video = Video::create(foundation::URL::fileURLWithPath(clip), LibraryItemType::file, false);
        auto info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
        auto made = ui::Storyboard::named(ReelhavenViewController::kStoryboardName)
                        ->instantiateViewController(
                            ReelhavenViewController::kStoryboardIdentifier, [&](const ui::Coder& coder) {
                                return ReelhavenViewController::create(coder, info, mediaCenter);
                            });
        player = std::dynamic_pointer_cast<ReelhavenViewController>(made);
        player->setSessionOptions({"no", "null", preferences, nullptr, screen});
        root->present(player, false);
        loop->runUntilIdle();
        if (auto view = player->glkView()) {
            // A paused player may redraw the old picture when a seek begins; the seek's frame is
            // the first one whose pixels differ, so every frame is read back (640x360: about a
            // millisecond) and fingerprinted.
            view->setKeepsLastFrame(true);
            VideoRenderer::renderQueue()->sync(
                [&] { view->onFrameDisplayed = [this](const gfx::Image& image) { frames.add(image); }; });
        }
    }
    ~SeekingPlayer() {
        if (auto view = player->glkView())
            VideoRenderer::renderQueue()->sync([&] { view->onFrameDisplayed = nullptr; });
        player->close(false);
        player->session()->commandQueue()->sync([] {});
        loop->runUntil([&] { return root->presentedViewController() == nullptr; }, std::chrono::seconds(10));
        player.reset();
        VideoRenderer::renderQueue()->sync([] {});
    }

    bool waitFor(const std::function<bool()>& condition) { return loop->runUntil(condition, std::chrono::seconds(60)); }

    bool start() {
        if (!player->glkView()) return false;
        if (!waitFor([&] {
                auto info = player->playbackInfo();
                return player->session()->hasLoaded(*info) && info->duration().has_value() && frameCount() > 0;
            }))
            return false;
        player->setPaused(true, true);
        return settle();
    }

    std::optional<double> position() {
        auto session = player->session();
        auto text = session->commandQueue()->syncValue([&] { return session->stringProperty("time-pos"); });
        if (!text) return std::nullopt;
        return std::strtod(text->c_str(), nullptr);
    }

    // Runs `seek` and returns the time from the call to the first frame the GL view drew with a
    // new picture, and the number of frames drawn until the picture settled (1 when the seek drew
    // only its own frame).
    std::optional<std::pair<double, std::size_t>> timed(const std::function<void()>& seek) {
        const FrameLog::Mark before = frames.mark();
        const auto start = Clock::now();
        seek();
        std::optional<Clock::time_point> shown;
        if (!waitFor([&] { return (shown = frames.firstNewPicture(before)).has_value(); })) return std::nullopt;
        if (!settle()) return std::nullopt;
        return std::make_pair(milliseconds(*shown - start), frameCount() - before.next);
    }

    std::shared_ptr<ReelhavenViewController> player;

private:
    // The real clock: the player's timers run as in the application.
    std::shared_ptr<dispatch::RunLoop> loop = dispatch::RunLoop::main();
    std::shared_ptr<Preferences> preferences = Preferences::create(
        foundation::UserDefaults::create(std::filesystem::temp_directory_path() / "bench-player-seek-defaults.json"));
    std::shared_ptr<ui::Screen> screen;
    std::shared_ptr<ui::WindowScene> scene;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root = ui::ViewController::create();
    std::shared_ptr<MediaCenterService> mediaCenter = MediaCenterService::create();
    FrameLog frames;

    std::size_t frameCount() const { return frames.count(); }
    bool settle() {
        return frames.settle([this](const std::function<bool()>& condition) { return waitFor(condition); });
    }
};

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

    // Start positions between keyframes (every 2 s), spread over the clip; the skip adds 10 s.
    std::vector<double> starts;
    for (int i = 0; i < rounds; ++i) starts.push_back(3.3 + std::fmod(i * 7.7, 90.0));

    std::vector<double> skip, shift, skipPeer, shiftPeer;
    std::size_t extraFrames = 0;
    auto peer = bench::MpvPeer::start(clip, static_cast<int>(size.width), static_cast<int>(size.height));
    if (!peer) {
        std::fprintf(stderr, "mpv did not start with its IPC socket\n");
        return 1;
    }
    {
        SeekingPlayer screen(clip, size);
        if (!screen.start()) {
            std::fprintf(stderr, "the player screen did not show the clip\n");
            return 1;
        }
        auto& player = *screen.player;
        ui::Press shiftRight;
        shiftRight.key.keyCode = ui::Key::rightArrow;
        shiftRight.key.modifierFlags = ui::Key::shift;
        // Ours and mpv's alternate seek by seek, so a swing of the machine's load touches both alike.
        auto from = [](double at) {
            char text[32];
            std::snprintf(text, sizeof text, "%.3f", at);
            return std::vector<std::string>{text, "absolute+exact"};
        };
        for (double at : starts) {
            if (!screen.timed([&] { player.seekTo(at); })) continue;
            if (auto r = screen.timed([&] { player.skipForward(); })) {
                skip.push_back(r->first);
                extraFrames += r->second - 1;
            }
            if (peer->seek(from(at)))
                if (auto ms = peer->seek({"10", "relative+keyframes"})) skipPeer.push_back(*ms);
            if (!screen.timed([&] { player.seekTo(at); })) continue;
            if (auto r = screen.timed([&] { player.pressesBegan({shiftRight}); })) {
                shift.push_back(r->first);
                extraFrames += r->second - 1;
            }
            if (peer->seek(from(at)))
                if (auto ms = peer->seek({"1", "relative+exact"})) shiftPeer.push_back(*ms);
        }
    }

    std::printf("seek to frame, %s, view %.0fx%.0f, %d rounds; mpv %s\n",
                std::filesystem::path(clip).filename().c_str(), size.width, size.height, rounds,
                peer->drawsFrames() ? "--vo=gpu --gpu-sw in a window of that size" : "--vo=null (no display)");
    print("player skipForward (+10 s, keyframe)", skip, rounds);
    print("mpv in one process, seek 10 relative+keyframes", skipPeer, rounds);
    ratio("skipForward", skip, skipPeer, peer->drawsFrames());
    print("player Shift+right (+1 s, exact)", shift, rounds);
    print("mpv in one process, seek 1 relative+exact", shiftPeer, rounds);
    ratio("Shift+right", shift, shiftPeer, peer->drawsFrames());
    std::printf("frames drawn beside the seeks' own (redraws of the old picture or the new): %zu\n", extraFrames);
    return 0;
}
