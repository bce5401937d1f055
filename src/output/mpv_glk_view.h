#pragma once

#include <atomic>
#include <memory>

#include "platform/ui/gl/gl_view.h"
#include "playback/model/video_layout_delegate.h"

struct mpv_render_context;

namespace reelhaven {

// The view libmpv draws the video into, through its render context. It never redraws by
// itself: the renderer calls `display()` on the render queue, and `draw` renders the current
// frame into the view's framebuffer, top row first (as a window's back buffer holds it).
//
// Threads: `draw`, `fboIdentifier` and `mpvContext` belong to "Reelhaven.renderQueue";
// `didMoveToWindow` and `layoutSubviews` run on the main thread; `connected` crosses between.
class MPVGLKView : public ui::GLView {
public:
    static std::shared_ptr<MPVGLKView> create(const ui::Rect& frame = {});

    // The view's framebuffer name, read on the first draw; -1 until then.
    int fboIdentifier() const { return m_fboIdentifier; }
    void setFboIdentifier(int identifier) { m_fboIdentifier = identifier; }
    // Set and cleared by the renderer on the render queue; not owned.
    mpv_render_context* mpvContext() const { return m_mpvContext; }
    void setMpvContext(mpv_render_context* context) { m_mpvContext = context; }
    bool connected() const { return m_connected; }
    // The renderer lets the second screen's view go with this (and sets it again on a new hand-over).
    void setConnected(bool connected) { m_connected = connected; }

    std::weak_ptr<VideoLayoutDelegate> layoutDelegate;

    void draw(const ui::Rect& rect) override;
    bool drawsTopRowFirst() const override { return true; }
    void didMoveToWindow() override;
    void layoutSubviews() override;

private:
    using GLView::GLView;

    int m_fboIdentifier = -1;
    mpv_render_context* m_mpvContext = nullptr;
    std::atomic<bool> m_connected{true};
};

}  // namespace reelhaven
