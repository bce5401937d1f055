#include "platform/display/display_window.h"

#include <EGL/egl.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "platform/display/window_fit.h"
#include "platform/graphics/gl_context.h"

namespace display {

namespace {
foundation::Error sdlError(const std::string& what) {
    return foundation::Error{"DisplayErrorDomain", 1, what + ": " + SDL_GetError()};
}

struct Placement {
    int x, y, width, height;
};

// A window of `size` fitted into the first screen's usable area (SDL opens a centred window
// there) and centred in it, so no panel covers its bars. A desktop that does not say what is
// usable gets the size as asked.
Placement placementOnScreen(ui::Size size, ui::Size minimum) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = {};
    const ui::Size fitted =
        fittedWindowSize(size, {static_cast<double>(usable.w), static_cast<double>(usable.h)}, minimum);
    const int width = static_cast<int>(std::lround(fitted.width));
    const int height = static_cast<int>(std::lround(fitted.height));
    if (usable.w <= 0 || usable.h <= 0) return {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height};
    return {usable.x + std::max(0, usable.w - width) / 2, usable.y + std::max(0, usable.h - height) / 2, width, height};
}
}  // namespace

foundation::Result<std::unique_ptr<DisplayWindow>> DisplayWindow::open(const std::string& title, ui::Size size,
                                                                       bool hidden, ui::Size minimum) {
    // EGL on X11 too, so the renderer's contexts can share the window's on one EGL display.
    SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "1");
    SDL_SetHint(SDL_HINT_VIDEO_EGL_ALLOW_TRANSPARENCY, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return sdlError("no display");
    // SDL falls back to drawing offscreen when no desktop answers: a window nobody sees is a
    // failure to report, not a success.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driver != "x11" && driver != "wayland") {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return foundation::Error{"DisplayErrorDomain", 1,
                                 "no display: neither X11 nor Wayland answers (set DISPLAY or WAYLAND_DISPLAY)"};
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    flags |= hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    const auto [x, y, width, height] =
        hidden ? Placement{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, static_cast<int>(std::lround(size.width)),
                           static_cast<int>(std::lround(size.height))}
               : placementOnScreen(size, minimum);
    SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
    if (!window) {
        auto error = sdlError("cannot open a window");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return error;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        auto error = sdlError("no OpenGL ES 3 context for the window");
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return error;
    }
    SDL_GL_MakeCurrent(window, context);
    // Swaps wait for the display's refresh, which paces the frames.
    SDL_GL_SetSwapInterval(1);
    EGLDisplay display = eglGetCurrentDisplay();
    gfx::GLContext::shareWith(display, eglGetCurrentContext());
    // A kept back buffer lets a letterboxed video's bars stay black without a pass each frame (in
    // software GL every pass costs the rasterizer's threads a round). Only where the display offers it.
    const EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
    EGLint swapBehaviour = 0;
    const bool kept = eglSurfaceAttrib(display, surface, EGL_SWAP_BEHAVIOR, EGL_BUFFER_PRESERVED) == EGL_TRUE &&
                      eglQuerySurface(display, surface, EGL_SWAP_BEHAVIOR, &swapBehaviour) == EGL_TRUE &&
                      swapBehaviour == EGL_BUFFER_PRESERVED;
    if (!kept) eglGetError();  // the refusal is an answer, not an error for the next EGL call to find
    return std::unique_ptr<DisplayWindow>(new DisplayWindow(window, context, display, kept));
}

DisplayWindow::~DisplayWindow() {
    gfx::GLContext::shareWith(nullptr, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
    SDL_DestroyWindow(m_window);
    // Quitting video ends the EGL display and the connection to the desktop. A context made on
    // them that is still alive (a renderer closing after its window) would crash when its thread
    // lets it go (Mesa on Wayland), so then the connection stays until the process ends.
    if (gfx::GLContext::contextsOn(m_eglDisplay) == 0) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::uint32_t DisplayWindow::windowID() const { return SDL_GetWindowID(m_window); }

ui::Size DisplayWindow::pointSize() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(m_window, &w, &h);
    return {static_cast<double>(w), static_cast<double>(h)};
}

ui::Size DisplayWindow::pixelSize() const {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_window, &w, &h);
    return {static_cast<double>(w), static_cast<double>(h)};
}

double DisplayWindow::scale() const {
    const auto points = pointSize();
    const auto pixels = pixelSize();
    return points.width > 0 && pixels.width > 0 ? pixels.width / points.width : 1.0;
}

int DisplayWindow::refreshRate() const {
    SDL_DisplayMode mode;
    const int index = SDL_GetWindowDisplayIndex(m_window);
    if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    return 60;
}

void DisplayWindow::resize(ui::Size points) {
    SDL_SetWindowSize(m_window, static_cast<int>(std::lround(points.width)),
                      static_cast<int>(std::lround(points.height)));
}

void DisplayWindow::setMinimumSize(ui::Size points) {
    SDL_SetWindowMinimumSize(m_window, static_cast<int>(std::lround(points.width)),
                             static_cast<int>(std::lround(points.height)));
}

void DisplayWindow::makeCurrent() { SDL_GL_MakeCurrent(m_window, static_cast<SDL_GLContext>(m_context)); }

void DisplayWindow::swap() { SDL_GL_SwapWindow(m_window); }

}  // namespace display
