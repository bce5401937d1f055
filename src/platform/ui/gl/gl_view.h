#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/graphics/image.h"
#include "platform/ui/views/view.h"

namespace gfx {
class GLContext;
}

namespace ui {

// A view whose content is drawn with OpenGL ES into a framebuffer object of its own, sized
// bounds x screen scale (the drawable size). It never redraws by itself: its owner calls
// `display()` on the thread where the view's context is current; `display()` binds the
// framebuffer and calls `draw` with it bound. The framebuffer's colour is a texture, BGRA where
// the context can render to that: the layout of a window's back buffer, so a window shows a frame
// drawn top row first (see `drawsTopRowFirst`) with a plain copy.
//
// Threads: layout, window changes and the drawable size are main-thread state; `display()`, the
// framebuffer and the frame read-back belong to the context's thread. The drawable size and the
// last frame cross between them under `m_mutex`.
class GLView : public View {
public:
    static std::shared_ptr<GLView> create(const Rect& frame = {});
    ~GLView() override;

    // The context `display()` draws with; set before the first display.
    void setContext(std::shared_ptr<gfx::GLContext> context);
    std::shared_ptr<gfx::GLContext> context() const;

    // Context thread: (re)makes the framebuffer at the drawable size, binds it and calls `draw`
    // with the drawable's rectangle in pixels. Nothing while the drawable is empty. True when the
    // frame went to a window that will say when it showed it (see `isAwaitingWindow`).
    bool display();
    // Context thread: the same, for a frame that may repeat the one shown last (a redraw): it is
    // drawn beside that one and shown only when its pixels differ, so a repeat costs no hand-over
    // to the window, no composite and no swap. False, nothing shown, for a repeat.
    bool displayIfChanged();
    // Context thread, inside `display()`: the framebuffer `draw` renders into.
    unsigned framebuffer() const { return m_framebuffer; }
    // Context thread, with the context current: frees the framebuffer and its storage now, for a
    // view that stops drawing with this context before it goes (its GL names would otherwise last
    // as long as the context, and mean nothing to another one). The next `display()` makes new
    // ones; a drawer that kept the framebuffer's name reads it again.
    void releaseFramebuffer();
    // Pixels; main thread writes them during layout, any thread reads.
    int drawableWidth() const;
    int drawableHeight() const;

    // When on, every `display()` reads its frame back (a copy per frame: tests and the launcher
    // only). `lastFrame()` is the newest, upright; `framesDisplayed()` counts them.
    void setKeepsLastFrame(bool keep);
    gfx::Image lastFrame() const;
    std::uint64_t framesDisplayed() const;
    // Called on the context thread after each display with the frame just kept (if kept).
    std::function<void(const gfx::Image&)> onFrameDisplayed;

    // Showing frames in a window whose context shares this view's (see gfx::GLContext::shareWith):
    // while on, `display()` draws into two textures in turn and lets each finish before it hands
    // it over, so the window shows the newest whole frame with no copy through the CPU while the
    // next one is drawn into the other.
    struct PresentedFrame {
        unsigned texture = 0;  // a name of the shared context group; 0: none yet
        int width = 0;
        int height = 0;
        bool topRowFirst = false;  // drawn upside down in GL's terms (see `drawsTopRowFirst`)
        std::uint64_t serial = 0;  // grows with each frame handed over
    };
    void setPresentsToSharedContext(bool presents);
    // Called on the main thread when a window starts taking the frames of a view that has drawn
    // before: the window never got that frame, and a drawer with no next one coming (a paused
    // video) is to draw it again (the next `displayIfChanged` shows it, not taking it for a repeat).
    void setPresentationStartedHandler(std::function<void()> handler);
    PresentedFrame presentedFrame() const;
    // Called on the context thread after each frame handed over (then the window composites).
    void setFramePresentedHandler(std::function<void()> handler);
    // True from a frame's hand-over until the window has swapped it onto the screen (or let it
    // go unseen, or stopped taking frames): a frame drawn meanwhile would replace one never shown.
    bool isAwaitingWindow() const;
    // The window's thread, after a swap whose composite held frame `serial` of this view (or,
    // `onScreen` false, dropped it because the view is not on screen): ends the wait for that frame.
    void windowDidShowFrame(std::uint64_t serial, bool onScreen = true);
    // How many frames of this view a window has swapped onto the screen, and the serial of the
    // newest of them (0: none yet).
    std::uint64_t framesShownInWindow() const;
    std::uint64_t lastSerialShownInWindow() const;
    // Called on the window's thread when the frame handed over last is no longer awaited; the
    // drawer may draw the next one then.
    void setFrameShownHandler(std::function<void()> handler);

    void layoutSubviews() override;
    void didMoveToWindow() override;
    void setFrame(const Rect& frame) override;
    void setBounds(const Rect& bounds) override;

protected:
    explicit GLView(const Rect& frame);
    // True on the thread running `display()`, while it runs: `draw` does GL work only then.
    bool isDisplaying() const;
    // True for a drawer that puts the picture's top row at GL's y = 0, as a window's back buffer
    // holds it: a window then copies the frame row for row, where a frame drawn the GL way up
    // takes a flipping pass over every pixel (in software GL, a shader pass). Read-backs and
    // `lastFrame()` are upright either way.
    virtual bool drawsTopRowFirst() const { return false; }

private:
    enum class Repeat { show, skip };
    void updateDrawableSize();
    // Context thread: binds the framebuffer, with storage of that size; false when incomplete.
    bool prepareFramebuffer(int width, int height);
    // Context thread: the other texture (made on first use) becomes the one drawn into.
    void attachSpare(int width, int height);
    // Context thread: attaches `texture` to the bound framebuffer.
    void attach(unsigned texture);
    gfx::Image readFrame(int width, int height) const;
    bool displayFrame(Repeat repeat);

    mutable std::mutex m_mutex;  // guards the fields below up to the framebuffer's
    std::shared_ptr<gfx::GLContext> m_context;
    int m_drawableWidth = 0;
    int m_drawableHeight = 0;
    bool m_keepsLastFrame = false;
    gfx::Image m_lastFrame;
    std::uint64_t m_framesDisplayed = 0;
    bool m_presentsToSharedContext = false;
    PresentedFrame m_presented;
    std::uint64_t m_framesShownInWindow = 0;
    std::uint64_t m_lastSerialShown = 0;
    bool m_awaitingWindow = false;
    std::function<void()> m_framePresentedHandler;
    std::function<void()> m_frameShownHandler;
    std::function<void()> m_presentationStartedHandler;
    bool m_windowHasFrame = false;  // the window taking frames now was handed one

    // Context thread only.
    unsigned m_framebuffer = 0;
    unsigned m_texture = 0;
    unsigned m_spareTexture = 0;  // the other of the two while presenting to a shared context
    int m_framebufferWidth = 0;
    int m_framebufferHeight = 0;
    bool m_holdsFrame = false;  // the attached texture holds the frame displayed last
    bool m_bgra = false;        // the textures are BGRA
};

}  // namespace ui
