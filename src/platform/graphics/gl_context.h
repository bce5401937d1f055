#pragma once

#include <memory>
#include <string>

namespace gfx {

// An OpenGL ES 3 context with no window: frames are drawn into framebuffer objects and read
// back. On Linux it lives on Mesa's surfaceless EGL display (software rendering when there is
// no GPU).
//
// Threads: a context is current on at most one thread at a time; EGL refuses to make current a
// context that another thread still holds (EGL_BAD_ACCESS). Give it to one thread that owns it
// (a dispatch::WorkQueue) and make every GL call there.
class GLContext {
public:
    // Null, with the reason logged, when no GLES 3 context can be made.
    static std::shared_ptr<GLContext> create();
    ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // Makes the context current on the calling thread, without a surface. False (and logged)
    // when EGL refuses.
    bool makeCurrent();
    // Releases the calling thread's current context, if it is this one.
    void releaseCurrent();
    bool isCurrent() const;

    // Makes every context created from now on share its objects (textures, renderbuffers, sync
    // objects) with `eglContext` on `eglDisplay` (a window's), instead of living alone on the
    // surfaceless display: frames drawn offscreen can then be shown in that window without a copy.
    // Null handles go back to the surfaceless display. Any thread; contexts already made keep
    // their display.
    static void shareWith(void* eglDisplay, void* eglContext);
    // How many contexts made on `eglDisplay` are alive. A window's display must outlive them:
    // releasing a context whose display connection is gone crashes in the driver (Mesa on Wayland).
    static int contextsOn(void* eglDisplay);

    // The GL renderer's name ("llvmpipe ..."), read once at creation.
    const std::string& renderer() const { return m_renderer; }

    // The address of a GL or EGL function by name, or null when the driver does not provide it
    // (a core function of the GLES library, an EGL function, or an extension function whose
    // vendor the current context advertises). Any thread; extension lookups read the extension
    // list of the context current on the calling thread.
    static void* getProcAddress(const char* name);

private:
    struct Handles;
    explicit GLContext(std::unique_ptr<Handles> handles);

    std::unique_ptr<Handles> m_handles;
    std::string m_renderer;
};

}  // namespace gfx
