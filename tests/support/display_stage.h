#pragma once

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"
#include "platform/ui/gl/gl_view.h"

namespace testing_support {

// For the tests that need a desktop: the display stage of tools/test runs them under Xvfb;
// elsewhere they skip.
inline bool hasDisplay() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

// The main run loop on the real clock, served by the calling thread, for tests that run a
// window's loop; the main loop before it comes back when it goes.
class RealMainLoop {
public:
    RealMainLoop()
        : m_loop(dispatch::RunLoop::create(std::make_shared<dispatch::RealClock>())),
          m_previous(dispatch::RunLoop::main()) {
        dispatch::RunLoop::setMain(m_loop);
        m_loop->bindToCurrentThread();
    }
    ~RealMainLoop() { dispatch::RunLoop::setMain(m_previous); }
    RealMainLoop(const RealMainLoop&) = delete;
    RealMainLoop& operator=(const RealMainLoop&) = delete;

    const std::shared_ptr<dispatch::RunLoop>& loop() const { return m_loop; }

private:
    std::shared_ptr<dispatch::RunLoop> m_loop;
    std::shared_ptr<dispatch::RunLoop> m_previous;
};

// The video renderer's side of a window test: a thread with a context of its own, made after the
// window's so that it shares it, drawing GL views' frames as the renderer does.
class RenderThread {
public:
    explicit RenderThread(const char* label = "display.test.render")
        : m_context(gfx::GLContext::create()), m_queue(dispatch::WorkQueue::create(label)) {}
    ~RenderThread() {
        m_queue->sync([&] {
            if (m_context) m_context->releaseCurrent();
        });
    }
    RenderThread(const RenderThread&) = delete;
    RenderThread& operator=(const RenderThread&) = delete;

    bool hasContext() const { return m_context != nullptr; }
    // Draws `view`'s next frame with this thread's context; true when the window will say it
    // showed it (see ui::GLView::display).
    bool display(ui::GLView& view) {
        view.setContext(m_context);
        return m_queue->syncValue([&] {
            m_context->makeCurrent();
            return view.display();
        });
    }
    // Draws `view`'s frame again as a redraw (see ui::GLView::displayIfChanged).
    bool displayRepeat(ui::GLView& view) {
        view.setContext(m_context);
        return m_queue->syncValue([&] {
            m_context->makeCurrent();
            return view.displayIfChanged();
        });
    }
    // The view stops drawing here; its framebuffer goes with it.
    void release(ui::GLView& view) {
        m_queue->sync([&] {
            view.setContext(nullptr);
            view.releaseFramebuffer();
        });
    }

private:
    std::shared_ptr<gfx::GLContext> m_context;
    std::shared_ptr<dispatch::WorkQueue> m_queue;
};

// Serves a window host's own loop (events, paced composites) until `done`, `limit` at most; true
// when `done` holds at the end.
template <typename Host>
bool serveWindowUntil(dispatch::RunLoop& loop, Host& host, const std::function<bool()>& done,
                      std::chrono::seconds limit) {
    if (done()) return true;  // a stop before the loop runs would not end it
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::function<void()> check = [&] {
        if (done() || std::chrono::steady_clock::now() > deadline) return loop.stop();
        loop.schedule(loop.now() + dispatch::seconds(0.005), check);
    };
    check();
    host.run();
    return done();
}

}  // namespace testing_support
