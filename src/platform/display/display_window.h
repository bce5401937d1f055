#pragma once

#include <memory>
#include <string>

#include "platform/foundation/error.h"
#include "platform/ui/views/point.h"
#include "platform/ui/views/size.h"

struct SDL_Window;

namespace display {

// One window on the desktop through SDL2 (X11 or Wayland) with an OpenGL ES 3 context on EGL,
// current on the thread that made it (the main thread). Frames are composited into it and
// swapped in step with the display. Other contexts made afterwards share its objects
// (gfx::GLContext::shareWith), so the video renderer's frames reach it without a copy.
class DisplayWindow {
public:
    // Opens a window of `size` points titled `title`; an error when there is no display or no
    // GLES 3 context. A shown window is fitted to the screen's usable area (fitWindow) and centred
    // in it: a window larger than that keeps `size` in points, its pixels scaled down. `hidden`
    // keeps it off the screen at the size asked (benchmarks and tests still draw into it).
    static foundation::Result<std::unique_ptr<DisplayWindow>> open(const std::string& title, ui::Size size,
                                                                   bool hidden = false);
    ~DisplayWindow();
    DisplayWindow(const DisplayWindow&) = delete;
    DisplayWindow& operator=(const DisplayWindow&) = delete;

    SDL_Window* handle() const { return m_window; }
    std::uint32_t windowID() const;
    // The size in points (what the interface lays out in) and in drawable pixels; their ratio is
    // the screen scale (2 on a HiDPI desktop, less than 1 in a window fitted to a smaller screen).
    ui::Size pointSize() const;
    ui::Size pixelSize() const;
    double scale() const;
    // A place in the window system's units (its events') in points, and back.
    ui::Point toPoints(double x, double y) const;
    ui::Point toUnits(ui::Point at) const;
    // The display's refresh rate (60 when it does not say).
    int refreshRate() const;

    void resize(ui::Size points);
    // Neither a user's drag nor `resize` makes the window smaller than this; a smaller window
    // grows to it at once.
    void setMinimumSize(ui::Size points);
    void makeCurrent();
    void swap();
    // Waits until the display server has answered a request sent now (XSync, or a Wayland round
    // trip) and takes in what it sent before: every input event it had made by now is then in
    // SDL's queue.
    void roundTrip();
    // Whether a swap leaves the back buffer as it was drawn (EGL's preserved swap, where the
    // display offers it): what a frame leaves unchanged need not be drawn again in the next.
    // A resize still loses it.
    bool keepsBackBuffer() const { return m_keepsBackBuffer; }

private:
    DisplayWindow(SDL_Window* window, void* context, void* eglDisplay, bool keepsBackBuffer)
        : m_window(window), m_context(context), m_eglDisplay(eglDisplay), m_keepsBackBuffer(keepsBackBuffer) {}

    // The size in the window system's units.
    ui::Size unitSize() const;

    SDL_Window* m_window;
    void* m_context;     // SDL_GLContext
    void* m_eglDisplay;  // EGLDisplay, which the renderers' contexts share
    bool m_keepsBackBuffer;
    // The size the window was last given, in its units and in points, and the units per point
    // (below 1 where the screen is smaller than the window asked for).
    struct Fit {
        ui::Size units;
        ui::Size points;
        double scale = 1;
    } m_fit;
};

}  // namespace display
