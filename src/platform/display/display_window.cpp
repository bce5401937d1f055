#include "platform/display/display_window.h"

#include <EGL/egl.h>
#include <SDL.h>
#include <SDL_syswm.h>

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
    double scale;  // window units per point
};

// A window of `size` fitted into the first screen's usable area (SDL opens a centred window
// there) and centred in it, so no panel covers its bars. A desktop that does not say what is
// usable gets the size as asked.
Placement placementOnScreen(ui::Size size) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = {};
    const auto fit = fitWindow(size, {static_cast<double>(usable.w), static_cast<double>(usable.h)});
    const int width = static_cast<int>(std::lround(fit.size.width));
    const int height = static_cast<int>(std::lround(fit.size.height));
    if (usable.w <= 0 || usable.h <= 0) return {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 1};
    return {usable.x + std::max(0, usable.w - width) / 2, usable.y + std::max(0, usable.h - height) / 2, width, height,
            fit.scale};
}
}  // namespace

foundation::Result<std::unique_ptr<DisplayWindow>> DisplayWindow::open(const std::string& title, ui::Size size,
                                                                       bool hidden) {
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
    const auto [x, y, width, height, fitScale] =
        hidden ? Placement{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, static_cast<int>(std::lround(size.width)),
                           static_cast<int>(std::lround(size.height)), 1}
               : placementOnScreen(size);
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
    auto opened = std::unique_ptr<DisplayWindow>(new DisplayWindow(window, context, display, kept));
    opened->m_fit = {{static_cast<double>(width), static_cast<double>(height)}, size, fitScale};
    return opened;
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

ui::Size DisplayWindow::unitSize() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(m_window, &w, &h);
    return {static_cast<double>(w), static_cast<double>(h)};
}

ui::Size DisplayWindow::pointSize() const {
    const auto units = unitSize();
    // At the size it was fitted to, exactly the size asked for (whole units rounded it); dragged
    // to another, that at the same scale.
    if (units == m_fit.units) return m_fit.points;
    return {units.width / m_fit.scale, units.height / m_fit.scale};
}

ui::Point DisplayWindow::toPoints(double x, double y) const {
    const auto units = unitSize();
    const auto points = pointSize();
    if (units.width <= 0 || units.height <= 0) return {x, y};
    return {x * points.width / units.width, y * points.height / units.height};
}

ui::Point DisplayWindow::toUnits(ui::Point at) const {
    const auto units = unitSize();
    const auto points = pointSize();
    if (points.width <= 0 || points.height <= 0) return at;
    return {at.x * units.width / points.width, at.y * units.height / points.height};
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
    const ui::Size units{std::round(points.width * m_fit.scale), std::round(points.height * m_fit.scale)};
    m_fit.units = units;
    m_fit.points = points;
    SDL_SetWindowSize(m_window, static_cast<int>(units.width), static_cast<int>(units.height));
}

void DisplayWindow::setMinimumSize(ui::Size points) {
    SDL_SetWindowMinimumSize(m_window, static_cast<int>(std::ceil(points.width * m_fit.scale - 1e-6)),
                             static_cast<int>(std::ceil(points.height * m_fit.scale - 1e-6)));
}

void DisplayWindow::makeCurrent() { SDL_GL_MakeCurrent(m_window, static_cast<SDL_GLContext>(m_context)); }

void DisplayWindow::swap() { SDL_GL_SwapWindow(m_window); }

void DisplayWindow::roundTrip() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(m_window, &info)) {
        // SDL loads the client libraries itself; the same ones, found by name, so the app links
        // neither.
        if (info.subsystem == SDL_SYSWM_X11) {
            using Sync = int (*)(void*, int);
            static void* library = SDL_LoadObject("libX11.so.6");
            static auto sync = library ? reinterpret_cast<Sync>(SDL_LoadFunction(library, "XSync")) : nullptr;
            if (sync) sync(info.info.x11.display, 0);
        } else if (info.subsystem == SDL_SYSWM_WAYLAND) {
            using RoundTrip = int (*)(void*);
            static void* library = SDL_LoadObject("libwayland-client.so.0");
            static auto roundTrip =
                library ? reinterpret_cast<RoundTrip>(SDL_LoadFunction(library, "wl_display_roundtrip")) : nullptr;
            if (roundTrip) roundTrip(info.info.wl.display);
        }
    }
    SDL_PumpEvents();
}

}  // namespace display
