// Time from "loadfile" to the first GL frame that shows the picture (not all black), for our
// player (mpv session, renderer and OpenGL view) and for a bare harness that drives libmpv's
// render API into an FBO on the same EGL set-up with nothing of ours around it. Both decode in
// software, play audio to mpv's null output, render 1920x1080 and read every frame back to look
// at it. Rounds alternate which of the two goes first.
//
// Usage: bench_playback_first_frame CLIP [ROUNDS]   (prints one line per run, then a summary)

#include <GLES3/gl3.h>
#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <vector>

#include "core/preferences.h"
#include "core/progress_client.h"
#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/graphics/gl_context.h"
#include "platform/graphics/gl_readback.h"
#include "playback/mpv_session.h"
#include "playback/player_output.h"

using namespace reelhaven;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

bool showsPicture(const gfx::Image& frame) {
    const auto& pixels = frame.pixels();
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] > 16 || pixels[i + 1] > 16 || pixels[i + 2] > 16) return true;
    return false;
}

// Signalled once from any thread.
class Arrival {
public:
    void signal() {
        std::lock_guard lock(m_mutex);
        if (m_at) return;
        m_at = Clock::now();
        m_cv.notify_all();
    }
    Clock::time_point wait() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_at.has_value(); });
        return *m_at;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::optional<Clock::time_point> m_at;
};

double runPlayer(const std::filesystem::path& clip, const std::shared_ptr<Preferences>& preferences) {
    auto video = Video::create(foundation::URL::fileURLWithPath(clip.string()), LibraryItemType::file, true);
    auto info = PlaybackInfo::create(nullptr, nullptr, video, false, true, std::nullopt);
    auto output = PlayerOutput::create({kWidth, kHeight}, 1.0, info);
    const auto& view = output.view;
    view->setKeepsLastFrame(true);
    Arrival firstPicture;
    view->onFrameDisplayed = [&](const gfx::Image& frame) {
        if (showsPicture(frame)) firstPicture.signal();
    };
    auto session = MPVSession::create(info, {"no", "null", preferences, nullptr, output.screen});
    output.attach(session);
    auto start = Clock::now();
    session->startPlayback(info);
    auto arrived = firstPicture.wait();
    session->teardown();
    VideoRenderer::renderQueue()->sync([&] { view->onFrameDisplayed = nullptr; });
    dispatch::RunLoop::main()->runUntilIdle();
    return std::chrono::duration<double, std::milli>(arrived - start).count();
}

struct Harness {
    std::shared_ptr<dispatch::WorkQueue> thread = dispatch::WorkQueue::create("bench.render");
    std::shared_ptr<gfx::GLContext> context = gfx::GLContext::create();
    mpv_handle* mpv = nullptr;
    mpv_render_context* render = nullptr;
    GLuint framebuffer = 0, renderbuffer = 0;
    Arrival firstPicture;

    static void update(void* self) {
        auto* harness = static_cast<Harness*>(self);
        harness->thread->async([harness] { harness->draw(); });
    }
    void draw() {
        if (!render) return;
        context->makeCurrent();
        mpv_opengl_fbo fbo{static_cast<int>(framebuffer), kWidth, kHeight, 0};
        int flip = 1;
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_OPENGL_FBO, &fbo}, {MPV_RENDER_PARAM_FLIP_Y, &flip}, {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(render, params);
        if (showsPicture(gfx::readFramebufferRGBA8(framebuffer, kWidth, kHeight))) firstPicture.signal();
    }
};

double runHarness(const std::filesystem::path& clip) {
    Harness harness;
    harness.mpv = mpv_create();
    mpv_set_option_string(harness.mpv, "vo", "libmpv");
    mpv_set_option_string(harness.mpv, "hwdec", "no");
    mpv_set_option_string(harness.mpv, "ao", "null");
    mpv_initialize(harness.mpv);
    harness.thread->sync([&] {
        harness.context->makeCurrent();
        glGenRenderbuffers(1, &harness.renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, harness.renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
        glGenFramebuffers(1, &harness.framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, harness.framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, harness.renderbuffer);
        mpv_opengl_init_params init{[](void*, const char* name) { return gfx::GLContext::getProcAddress(name); },
                                    nullptr};
        char api[] = MPV_RENDER_API_TYPE_OPENGL;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api},
                                     {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_create(&harness.render, harness.mpv, params);
        mpv_render_context_set_update_callback(harness.render, &Harness::update, &harness);
    });
    auto path = clip.string();
    const char* command[] = {"loadfile", path.c_str(), "replace", nullptr};
    auto start = Clock::now();
    mpv_command(harness.mpv, command);
    auto arrived = harness.firstPicture.wait();
    harness.thread->sync([&] {
        harness.context->makeCurrent();
        mpv_render_context_free(harness.render);
        harness.render = nullptr;
        glDeleteFramebuffers(1, &harness.framebuffer);
        glDeleteRenderbuffers(1, &harness.renderbuffer);
        harness.context->releaseCurrent();
    });
    mpv_destroy(harness.mpv);
    return std::chrono::duration<double, std::milli>(arrived - start).count();
}

void summarize(const char* name, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    auto at = [&](double quantile) { return times[static_cast<std::size_t>(quantile * (times.size() - 1) + 0.5)]; };
    std::printf("%-8s runs %zu  median %.1f ms  p90 %.1f ms  min %.1f ms  max %.1f ms\n", name, times.size(), at(0.5),
                at(0.9), times.front(), times.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: bench_playback_first_frame CLIP [ROUNDS]\n";
        return 2;
    }
    std::filesystem::path clip = std::filesystem::absolute(argv[1]);
    int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
    auto home = std::filesystem::temp_directory_path() / "reelhaven-bench-playback";
    foundation::ScopedContainer container{home};
    auto preferences = Preferences::create(foundation::UserDefaults::create(home / "defaults.json"));
    dispatch::RunLoop::main()->bindToCurrentThread();
    std::vector<double> player, harness;
    runHarness(clip);  // warm the page cache and the driver once, for both
    for (int round = 0; round < rounds; ++round) {
        bool playerFirst = round % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == playerFirst) {
                player.push_back(runPlayer(clip, preferences));
                std::printf("player  %.1f ms\n", player.back());
            } else {
                harness.push_back(runHarness(clip));
                std::printf("harness %.1f ms\n", harness.back());
            }
            std::fflush(stdout);
        }
    }
    summarize("player", player);
    summarize("harness", harness);
    std::sort(player.begin(), player.end());
    std::sort(harness.begin(), harness.end());
    std::printf("player/harness median ratio %.2f\n", player[player.size() / 2] / harness[harness.size() / 2]);
    return 0;
}
