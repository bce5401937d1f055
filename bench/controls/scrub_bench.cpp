// Scrub-to-frame latency. A DetailScrubber over a 10-minute 720p clip (2 s GOP, made here with
// ffmpeg) drives the real mpv session and renderer: each value change seeks to the bar's percent,
// by keyframe at full scrubbing speed and exactly at a fine speed (0.1), and the time runs from
// the value change to the first frame the OpenGL view shows after mpv's playback restart. Beside
// it, for the same targets, the mpv command line opening the clip and showing one frame there:
// `mpv --no-config --vo=null --ao=null --start=<p>% --frames=1 --hr-seek=no|yes`.
// Usage: bench_controls_scrub [work folder]   (prints median and p90 in milliseconds)
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

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

const std::vector<double> kTargets{5, 17, 29, 41, 53, 65, 77, 89, 34, 71, 12, 58, 83, 23, 47, 95, 38, 62, 8, 74};

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
    std::printf("%-44s median %7.1f ms   p90 %7.1f ms   (%zu seeks)\n", name.c_str(), f.median, f.p90, samples.size());
}

std::vector<double> commandLine(const std::filesystem::path& clip, bool exact) {
    std::vector<double> samples;
    for (double percent : kTargets) {
        const std::string command =
            "mpv --no-config --really-quiet --vo=null --ao=null --start=" + std::to_string(percent) +
            "% --frames=1 --hr-seek=" + (exact ? "yes" : "no") + " '" + clip.string() + "' >/dev/null 2>&1";
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) continue;
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return samples;
}

// The player's pieces as the player screen wires them, with the bar seeking on value changes.
class ScrubPlayer {
public:
    explicit ScrubPlayer(const std::filesystem::path& clip) {
        auto video = Video::create(foundation::URL::fileURLWithPath(clip.string()), LibraryItemType::file, true);
        info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
        output = PlayerOutput::create({640, 360}, 1.0, info);
        output.view->onFrameDisplayed = [this](const gfx::Image&) {
            lastFrameAt.store(Clock::now().time_since_epoch().count());
            dispatch::Queue::main()->async([] {});
        };
        session = MPVSession::create(info, {"no", "null", nullptr, nullptr, output.screen});
        session->onFileLoaded = [this](const PlaybackInfoPtr&) { loaded = true; };
        session->onPlaybackRestart = [this] {
            ++restarts;
            framesAtRestart = output.view->framesDisplayed();
        };
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
        return waitFor([&] { return restarts > 0 && output.view->framesDisplayed() > framesAtRestart; });
    }

    // Drags the bar to `percent` at full speed, or 160 points off the bar at a tenth of it, and
    // gives the time from the last value change to the first frame after the restart it caused.
    std::optional<double> scrubTo(double percent, bool fine) {
        const ui::Point from = bar->pointInWindow(bar->value());
        const double width = bar->trackRect(bar->bounds()).size.width;
        const double travel = (percent - bar->value()) / 100 * width / (fine ? 0.1 : 1.0);
        bar->touchDown(from);
        const double dy = fine ? 160 : 0;
        if (fine) bar->touchMove({from.x, from.y + dy});
        bar->touchMove({from.x + travel, from.y + dy});
        bar->touchUp({from.x + travel, from.y + dy});
        if (!seekIssuedAt) return std::nullopt;
        const int restartsBefore = restartsAtSeek;
        if (!waitFor([&] { return restarts > restartsBefore && output.view->framesDisplayed() > framesAtRestart; })) {
            return std::nullopt;
        }
        const Clock::time_point frame{Clock::duration(lastFrameAt.load())};
        return std::chrono::duration<double, std::milli>(frame - *seekIssuedAt).count();
    }

private:
    // Stands in for the player's bar seek: a new position seeks, exactly while scrubbing finely.
    void barChanged() {
        const float value = bar->value();
        if (value == lastSought) return;
        lastSought = value;
        const bool exact = bar->currentSpeed() < 1.0f && bar->currentSpeed() > 0;
        restartsAtSeek = restarts;
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
    std::uint64_t framesAtRestart = 0;
    std::atomic<Clock::rep> lastFrameAt{0};
    std::optional<Clock::time_point> seekIssuedAt;
    int restartsAtSeek = 0;
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
    std::vector<double> keyframe;
    std::vector<double> exact;
    {
        ScrubPlayer player(clip);
        if (!player.start()) {
            std::cerr << "the player did not start\n";
            return 1;
        }
        for (bool fine : {false, true}) {
            for (double percent : kTargets) {
                if (auto ms = player.scrubTo(percent, fine)) (fine ? exact : keyframe).push_back(*ms);
            }
        }
    }
    print("scrubber at speed 1.0 (keyframe seek)", keyframe);
    print("scrubber at speed 0.1 (exact seek)", exact);
    print("mpv command line, --hr-seek=no", commandLine(clip, false));
    print("mpv command line, --hr-seek=yes", commandLine(clip, true));
    return 0;
}
