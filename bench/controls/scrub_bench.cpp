// Scrub-to-frame latency. A DetailScrubber over a 10-minute 720p clip (2 s GOP, made here with
// ffmpeg) drives the real mpv session and renderer: each value change seeks to the bar's percent,
// by keyframe at full scrubbing speed and exactly at a fine speed (0.1), and the time runs from
// the value change to the first frame the OpenGL view shows with the new picture (every frame is
// read back and fingerprinted: a redraw of the old picture does not count). The targets lie
// between keyframes, so an exact seek decodes past the keyframe and differs from a keyframe seek.
// Beside it, target by target, the same seeks inside one running mpv paused on the same clip
// (bench::MpvPeer: its JSON IPC, `seek <p> absolute-percent+keyframes|exact`), from the command to
// its playback-restart event, which mpv sends once the frame at the target is up.
// Usage: bench_controls_scrub [work folder]
// (prints median and p90 in milliseconds, and the ratio of the medians, ours over mpv's, when mpv
// draws its frames on a display; without one it decodes only and no ratio is given)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "common/frame_log.h"
#include "common/mpv_peer.h"
#include "controls/detail_scrubber.h"
#include "core/progress_client.h"
#include "output/mpv_glk_view.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/graphics/image.h"
#include "platform/ui/views/window.h"
#include "playback/model/mpv_command.h"
#include "playback/mpv_session.h"
#include "playback/player_output.h"

namespace {

using namespace reelhaven;
using Clock = std::chrono::steady_clock;

// Percent of 600 s: each lands 0.9 s past a keyframe (one every 2 s).
const std::vector<double> kTargets{5.15,  17.15, 29.15, 41.15, 53.15, 65.15, 77.15, 89.15, 34.15, 71.15,
                                   12.15, 58.15, 83.15, 23.15, 47.15, 95.15, 38.15, 62.15, 8.15,  74.15};

bool makeClip(const std::filesystem::path& clip) {
    if (std::filesystem::exists(clip)) return true;
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc2=size=1280x720:rate=25:duration=600 "
        "-c:v libx264 -preset ultrafast -g 50 -keyint_min 50 -sc_threshold 0 -pix_fmt yuv420p '" +
        clip.string() + "'";
    return std::system(command.c_str()) == 0;
}

struct Figures {
    double median = 0;
    double p90 = 0;
};

Figures figures(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    if (samples.empty()) return {};
    return {samples[samples.size() / 2], samples[std::min(samples.size() - 1, samples.size() * 9 / 10)]};
}

void print(const std::string& name, const std::vector<double>& samples) {
    const Figures f = figures(samples);
    std::printf("%-48s median %7.1f ms   p90 %7.1f ms   (%zu seeks)\n", name.c_str(), f.median, f.p90, samples.size());
}

void ratio(const std::string& name, const std::vector<double>& ours, const std::vector<double>& theirs,
           bool peerDraws) {
    // A peer that draws nothing does less than ours: its times are shown, but not set against ours.
    if (!peerDraws) {
        std::printf("  %s: no ratio, mpv drew no frames (--vo=null, no display): not like for like\n", name.c_str());
        return;
    }
    const double peer = figures(theirs).median;
    if (peer > 0) std::printf("  %s: %.2fx mpv's median\n", name.c_str(), figures(ours).median / peer);
}

// The player's pieces as the player screen wires them, with the bar seeking on value changes.
class ScrubPlayer {
public:
    explicit ScrubPlayer(const std::filesystem::path& clip) {
        auto video = Video::create(foundation::URL::fileURLWithPath(clip.string()), LibraryItemType::file, true);
        info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
        output = PlayerOutput::create({640, 360}, 1.0, info);
        output.view->setKeepsLastFrame(true);
        output.view->onFrameDisplayed = [this](const gfx::Image& image) {
            frames.add(image);
            dispatch::Queue::main()->async([] {});
        };
        session = MPVSession::create(info, {"no", "null", nullptr, nullptr, output.screen});
        session->onFileLoaded = [this](const PlaybackInfoPtr&) { loaded = true; };
        session->onPlaybackRestart = [this] { ++restarts; };
        output.attach(session);
        session->startPlayback(info);

        bar = DetailScrubber::create(ui::Rect(20, 300, 600, 30));
        bar->setMaximumValue(100);
        output.window->addSubview(bar);
        bar->addTarget(
            output.window, [this](ui::Control&) { barChanged(); }, ui::valueChanged);
    }
    ~ScrubPlayer() {
        session->teardown();
        session.reset();
    }

    bool waitFor(const std::function<bool()>& condition) { return loop.runUntil(condition, std::chrono::seconds(60)); }
    bool start() {
        if (!waitFor([&] { return loaded; })) return false;
        session->setFlagProperty("pause", true);
        return waitFor([&] { return restarts > 0 && frameCount() > 0; }) && settle();
    }

    // Drags the bar to `percent` at full speed, or 160 points off the bar at a tenth of it, and
    // gives the time from the last value change to the first frame with the new picture.
    std::optional<double> scrubTo(double percent, bool fine) {
        const FrameLog::Mark before = frames.mark();
        const ui::Point from = bar->pointInWindow(bar->value());
        const double width = bar->trackRect(bar->bounds()).size.width;
        const double travel = (percent - bar->value()) / 100 * width / (fine ? 0.1 : 1.0);
        bar->touchDown(from);
        const double dy = fine ? 160 : 0;
        if (fine) bar->touchMove({from.x, from.y + dy});
        bar->touchMove({from.x + travel, from.y + dy});
        bar->touchUp({from.x + travel, from.y + dy});
        if (!seekIssuedAt) return std::nullopt;
        std::optional<Clock::time_point> shown;
        if (!waitFor([&] { return (shown = frames.firstNewPicture(before)).has_value(); })) return std::nullopt;
        if (!settle()) return std::nullopt;
        return std::chrono::duration<double, std::milli>(*shown - *seekIssuedAt).count();
    }

private:
    // Stands in for the player's bar seek: a new position seeks, exactly while scrubbing finely.
    void barChanged() {
        const float value = bar->value();
        if (value == lastSought) return;
        lastSought = value;
        const bool exact = bar->currentSpeed() < 1.0f && bar->currentSpeed() > 0;
        seekIssuedAt = Clock::now();
        session->commandQueue()->async([session = session, value, exact] {
            session->command(MPVCommand::seek,
                             {std::to_string(value), exact ? "absolute-percent+exact" : "absolute-percent+keyframes"});
        });
    }

    dispatch::ScopedMainRunLoop loop;
    PlaybackInfoPtr info;
    PlayerOutput output;
    std::shared_ptr<MPVSession> session;
    std::shared_ptr<DetailScrubber> bar;
    bool loaded = false;
    int restarts = 0;
    FrameLog frames;

    std::size_t frameCount() const { return frames.count(); }
    bool settle() {
        return frames.settle([this](const std::function<bool()>& condition) { return waitFor(condition); });
    }
    std::optional<Clock::time_point> seekIssuedAt;
    float lastSought = -1;
};

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path work = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "reelhaven-scrub";
    std::filesystem::create_directories(work);
    const auto clip = work / "scrub-720p-10min.mp4";
    if (!makeClip(clip)) {
        std::cerr << "could not make the clip with ffmpeg\n";
        return 1;
    }
    foundation::ScopedContainer container(work / "home");
    auto peer = bench::MpvPeer::start(clip.string(), 640, 360);
    if (!peer) {
        std::cerr << "mpv did not start with its IPC socket\n";
        return 1;
    }
    std::vector<double> keyframe, exact, keyframePeer, exactPeer;
    {
        ScrubPlayer player(clip);
        if (!player.start()) {
            std::cerr << "the player did not start\n";
            return 1;
        }
        // Ours and mpv's alternate target by target, so a swing of the machine's load touches both alike.
        for (bool fine : {false, true}) {
            for (double percent : kTargets) {
                if (auto ms = player.scrubTo(percent, fine)) (fine ? exact : keyframe).push_back(*ms);
                const std::string mode = fine ? "absolute-percent+exact" : "absolute-percent+keyframes";
                if (auto ms = peer->seek({std::to_string(percent), mode}))
                    (fine ? exactPeer : keyframePeer).push_back(*ms);
            }
        }
    }
    std::printf("scrub to frame, 720p 10 min clip, view 640x360; mpv %s\n",
                peer->drawsFrames() ? "--vo=gpu --gpu-sw in a window of that size" : "--vo=null (no display)");
    print("scrubber at speed 1.0 (keyframe seek)", keyframe);
    print("mpv in one process, absolute-percent+keyframes", keyframePeer);
    ratio("keyframe", keyframe, keyframePeer, peer->drawsFrames());
    print("scrubber at speed 0.1 (exact seek)", exact);
    print("mpv in one process, absolute-percent+exact", exactPeer);
    ratio("exact", exact, exactPeer, peer->drawsFrames());
    return 0;
}
