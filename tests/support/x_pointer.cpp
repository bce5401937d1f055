#include "support/x_pointer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdlib>

#include "support/x_test_display.h"

namespace testing_support {

// What the window's queue took, counted as SDL adds the events (its watch), against what was sent.
struct XPointer::State {
    Display* display = nullptr;
    ::Window window = 0;
    std::uint32_t windowID = 0;
    int buttonsSent = 0;
    int buttonsTaken = 0;
    int notchesSent = 0;
    int notchesTaken = 0;
    int targetX = -1, targetY = -1;  // where the pointer was last moved to, in window pixels
    int seenX = -1, seenY = -1;      // where the window last saw it

    static int watch(void* data, SDL_Event* event) {
        auto& state = *static_cast<State*>(data);
        switch (event->type) {
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (event->button.windowID == state.windowID) ++state.buttonsTaken;
                if (event->button.windowID == state.windowID) state.seen(event->button.x, event->button.y);
                break;
            case SDL_MOUSEMOTION:
                if (event->motion.windowID == state.windowID) state.seen(event->motion.x, event->motion.y);
                break;
            case SDL_MOUSEWHEEL:
                if (event->wheel.windowID == state.windowID) ++state.notchesTaken;
                break;
            default: break;
        }
        return 1;
    }
    void seen(int x, int y) {
        seenX = x;
        seenY = y;
    }
};

std::unique_ptr<XPointer> XPointer::over(std::uint32_t sdlWindowID) {
    SDL_Window* window = SDL_GetWindowFromID(sdlWindowID);
    if (!window) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    // A connection of its own: the events come in as another client's would.
    Display* display = testing_support::openXTestDisplay(nullptr);
    if (!display) return nullptr;
    auto state = std::make_unique<State>();
    state->display = display;
    state->window = info.info.x11.window;
    state->windowID = sdlWindowID;
    SDL_AddEventWatch(&State::watch, state.get());
    return std::unique_ptr<XPointer>(new XPointer(std::move(state)));
}

XPointer::XPointer(std::unique_ptr<State> state) : m_state(std::move(state)) {}

XPointer::~XPointer() {
    SDL_DelEventWatch(&State::watch, m_state.get());
    XCloseDisplay(m_state->display);
}

void XPointer::moveTo(double x, double y) {
    auto& state = *m_state;
    state.targetX = static_cast<int>(std::lround(x));
    state.targetY = static_cast<int>(std::lround(y));
    // The window's place on the screen, asked each time: the window system may have moved it.
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    const int screen = DefaultScreen(state.display);
    XTranslateCoordinates(state.display, state.window, RootWindow(state.display, screen), state.targetX, state.targetY,
                          &rootX, &rootY, &child);
    // A move to where the pointer already is makes no event: it goes there by way of a pixel beside.
    ::Window root = 0;
    int nowX = 0, nowY = 0, inX = 0, inY = 0;
    unsigned mask = 0;
    if (XQueryPointer(state.display, RootWindow(state.display, screen), &root, &child, &nowX, &nowY, &inX, &inY,
                      &mask) &&
        nowX == rootX && nowY == rootY)
        XTestFakeMotionEvent(state.display, screen, rootX + 1, rootY, CurrentTime);
    XTestFakeMotionEvent(state.display, screen, rootX, rootY, CurrentTime);
    sent();
}

void XPointer::press(Button button) {
    XTestFakeButtonEvent(m_state->display, static_cast<unsigned>(button), True, CurrentTime);
    ++m_state->buttonsSent;
    sent();
}

void XPointer::release(Button button) {
    XTestFakeButtonEvent(m_state->display, static_cast<unsigned>(button), False, CurrentTime);
    ++m_state->buttonsSent;
    sent();
}

void XPointer::click(double x, double y, Button button) {
    moveTo(x, y);
    press(button);
    release(button);
}

void XPointer::wheel(int notches) {
    // Buttons 4 and 5 are the wheel's turns away from and towards the user: one notch a press
    // (SDL makes a wheel event of the press and nothing of the release).
    const unsigned button = notches < 0 ? 4 : 5;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(m_state->display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_state->display, button, False, CurrentTime);
        ++m_state->notchesSent;
    }
    sent();
}

void XPointer::sent() {
    // On its way to the server at once: the window's connection hears it as soon as it looks.
    XSync(m_state->display, False);
}

bool XPointer::delivered() const {
    const auto& state = *m_state;
    const bool moved = state.targetX < 0 || (state.seenX == state.targetX && state.seenY == state.targetY);
    return state.buttonsTaken >= state.buttonsSent && state.notchesTaken >= state.notchesSent && moved;
}

}  // namespace testing_support
