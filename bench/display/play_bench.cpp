// Plays a clip in a desktop window through our player output (mpv session, renderer, OpenGL view)
// and the display host (painter, compositor, one loop), for SECONDS of the clip (mpv's "length", as
// the peer's `--length`, held on its last frame by "keep-open"), then prints the process's CPU time
// and the frames: shown, dropped on the way to the window, and dropped by mpv. run.sh puts it
// beside the mpv command line in a window of the same size.
//
// Usage: bench_display_play CLIP SECONDS WIDTH HEIGHT

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include "core/progress_client.h"
#include "cpu_time.h"
#include "output/mpv_glk_view.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/ui/views/window.h"
#include "playback/mpv_session.h"
#include "playback/player_output.h"

using namespace reelhaven;

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: bench_display_play CLIP SECONDS WIDTH HEIGHT\n";
        return 2;
    }
    const std::string clip = argv[1];
    const double seconds = std::atof(argv[2]);
    const ui::Size size{std::atof(argv[3]), std::atof(argv[4])};
    const auto home = std::filesystem::temp_directory_path() / "reelhaven-bench-display";
    foundation::ScopedContainer container{home};
    auto loop = dispatch::RunLoop::main();
    loop->bindToCurrentThread();

    auto video = Video::create(foundation::URL::fileURLWithPath(std::filesystem::absolute(clip).string()),
                               LibraryItemType::file, true);
    auto info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
    auto opened = display::DisplayHost::open({"bench", size});
    if (!opened) {
        std::cerr << opened.error().description << "\n";
        return 1;
    }
    auto host = std::move(opened.value());
    auto output = PlayerOutput::create(size, 1.0, info);
    output.window->makeKeyAndVisible();
    host->show(output.window);

    MPVSession::Options options;
    options.audioOutput = "null";
    options.screen = output.screen;
    auto session = MPVSession::create(info, options);
    output.attach(session);
    // The same span of the clip as the peer plays, whatever the load makes of the wall time; kept
    // open at its end so the drop counts can still be read.
    session->setStringProperty("length", MPVSession::decimal(seconds));
    session->setStringProperty("keep-open", "yes");
    const double cpuBefore = processCpuSeconds();
    const auto started = std::chrono::steady_clock::now();
    const auto patience = std::chrono::duration<double>(seconds * 4 + 60);
    bool timedOut = false;
    std::function<void()> poll = [&] {
        if (session->flagProperty("eof-reached").value_or(false)) {
            loop->stop();
        } else if (std::chrono::steady_clock::now() - started > patience) {
            timedOut = true;
            loop->stop();
        } else {
            dispatch::Queue::main()->asyncAfter(0.05, poll);
        }
    };
    dispatch::Queue::main()->asyncAfter(0.05, poll);
    session->startPlayback(info);
    host->run();
    if (timedOut) {
        std::cerr << "playback did not reach the end of " << seconds << " s of the clip\n";
        return 1;
    }
    const double cpu = processCpuSeconds() - cpuBefore;
    const auto outputDrops = session->doubleProperty("frame-drop-count").value_or(-1);
    const auto decoderDrops = session->doubleProperty("decoder-frame-drop-count").value_or(-1);
    const auto statistics = host->statistics();
    session->teardown();
    loop->runUntilIdle();
    std::printf(
        "cpu_seconds %.3f\nshown %llu\ndropped_to_window %llu\nmpv_output_drops %.0f\nmpv_decoder_drops %.0f\n"
        "repaints %llu\ncomposites %llu\n",
        cpu, static_cast<unsigned long long>(statistics.videoFrames),
        static_cast<unsigned long long>(statistics.droppedFrames), outputDrops, decoderDrops,
        static_cast<unsigned long long>(statistics.repaints), static_cast<unsigned long long>(statistics.composites));
    return 0;
}
