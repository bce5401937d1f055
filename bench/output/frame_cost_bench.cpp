// What one frame costs on the render queue by render method, on the same paused frame of a clip:
//   gl            the device's GL view (RGBA8), the plain path
//   hdr           the Metal method: RGBA16F render, read-back into the pixel buffer, the layer's copy
//   pip           the picture-in-picture method: RGBA16F render, read-back into a new buffer, the
//                 sample buffer (enqueued on the main queue)
// and the parts of the last two alone: the RGBA16F render, the read-back, the copy of a pixel
// buffer. Every step ends with glFinish, so the software rasteriser's work is inside the time.
// Wall time per frame (median, p90) and process CPU time per frame (every thread: the rasteriser
// runs on threads of its own).
//
// Usage: bench_output_frame_cost CLIP [FRAMES] [WIDTH HEIGHT]

#include <GLES3/gl3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/preferences.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/offscreen_framebuffer.h"
#include "output/video_renderer.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/user_defaults.h"
#include "platform/graphics/gl_context.h"
#include "playback/mpv_session.h"
#include "playback/player_output.h"

using namespace reelhaven;
using Clock = std::chrono::steady_clock;

namespace {

double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Figures {
    std::string name;
    double median = 0, p90 = 0, cpu = 0;
};

// Runs `frame` `count` times on the render queue, timing each. Batches of ten, with the main
// queue served between them, so the picture-in-picture samples it posts do not pile up.
Figures measure(const std::string& name, int count, const std::function<void()>& frame) {
    std::vector<double> times;
    double cpu = 0;
    VideoRenderer::renderQueue()->sync([&] {
        frame();  // warm: buffers made, shaders compiled
        glFinish();
    });
    for (int done = 0; done < count;) {
        const int batch = std::min(10, count - done);
        VideoRenderer::renderQueue()->sync([&] {
            const double cpuStart = cpuMilliseconds();
            for (int i = 0; i < batch; ++i) {
                const auto start = Clock::now();
                frame();
                glFinish();
                times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            }
            cpu += cpuMilliseconds() - cpuStart;
        });
        dispatch::RunLoop::main()->runUntilIdle();
        done += batch;
    }
    std::sort(times.begin(), times.end());
    auto at = [&](double q) { return times[static_cast<std::size_t>(q * (times.size() - 1) + 0.5)]; };
    return {name, at(0.5), at(0.9), cpu / count};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CLIP [FRAMES] [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const std::string clip = argv[1];
    const int frames = argc > 2 ? std::atoi(argv[2]) : 60;
    const int width = argc > 4 ? std::atoi(argv[3]) : 1920;
    const int height = argc > 4 ? std::atoi(argv[4]) : 1080;

    dispatch::ScopedMainRunLoop mainLoop;
    auto preferences = Preferences::create(foundation::UserDefaults::create("/tmp/bench-output-defaults.json"));
    preferences->continueAudioBackground.setWrappedValue(true);
    preferences->useEDR.setWrappedValue(false);  // the bench switches methods itself
    auto video = Video::create(foundation::URL::fileURLWithPath(clip), LibraryItemType::file, true);
    auto info = PlaybackInfo::create(nullptr, nullptr, video, false, true, std::nullopt);
    auto output =
        PlayerOutput::create({static_cast<double>(width), static_cast<double>(height)}, 1.0, info, preferences);
    auto session = MPVSession::create(info, {"no", "null", preferences, nullptr, output.screen});
    output.attach(session);
    bool restarted = false;
    session->onPlaybackRestart = [&] { restarted = true; };
    session->startPlayback(info);
    mainLoop.runUntil([&] { return restarted; }, std::chrono::seconds(60));
    session->setFlagProperty("pause", true);
    session->commandQueue()->sync([] {});
    mainLoop.runUntil([&] { return output.view->framesDisplayed() > 0; }, std::chrono::seconds(60));
    auto renderer = output.renderer;

    std::vector<Figures> rows;
    rows.push_back(measure("gl", frames, [&] { renderer->render(); }));

    renderer->setHDRMetadata(
        HDRMetadata{gfx::EDRMetadata::hdr10(0.005f, 1000, 10000), gfx::ColorSpaceName::itur2100PQ, "bt.2020", "pq"});
    VideoRenderer::renderQueue()->sync([] {});
    mainLoop.runUntilIdle();
    rows.push_back(measure("hdr", frames, [&] { renderer->render(); }));

    output.pictureInPictureController->startPictureInPicture();
    rows.push_back(measure("pip", frames, [&] { renderer->render(); }));
    output.pictureInPictureController->stopPictureInPicture();

    std::unique_ptr<OffscreenFramebuffer> target;
    VideoRenderer::renderQueue()->sync([&] {
        renderer->context()->makeCurrent();
        target = OffscreenFramebuffer::create(width, height);
    });
    rows.push_back(measure("rgba16f render", frames, [&] { renderer->renderToFBO(target->info()); }));
    rows.push_back(measure("read-back", frames, [&] { target->readBack(); }));
    rows.push_back(measure("copy", frames, [&] { (void)target->pixelBuffer()->copy(); }));
    VideoRenderer::renderQueue()->sync([&] { target.reset(); });

    std::printf("frame cost at %dx%d, %d frames each (%s)\n", width, height, frames,
                renderer->context()->renderer().c_str());
    for (const auto& row : rows)
        std::printf("%-15s median %7.2f ms  p90 %7.2f ms  cpu %7.2f ms/frame\n", row.name.c_str(), row.median, row.p90,
                    row.cpu);
    const double gl = rows[0].median;
    std::printf("hdr / gl %.2fx, pip / gl %.2fx (medians)\n", rows[1].median / gl, rows[2].median / gl);

    session->teardown();
    output.pictureInPictureController.reset();
    output.renderer.reset();
    renderer.reset();
    VideoRenderer::renderQueue()->sync([] {});
    return 0;
}
