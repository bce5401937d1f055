#pragma once

#include <cstdint>
#include <memory>

// A person's mouse on the X server, through its XTest extension: the server routes each event to
// the window under the pointer as it does a real mouse's, and the window's toolkit (SDL) counts
// clicks in a row with its own timing. For the window tests that click as a person does. Main
// thread only (the thread that serves the window).
namespace testing_support {

class XPointer {
public:
    // The X server's numbers: the middle button, and the side buttons a browser takes as back and
    // forward.
    enum class Button { left = 1, middle = 2, right = 3, back = 8, forward = 9 };

    // The pointer over the SDL window `sdlWindowID` of this process; none where that window is no
    // X11 one (Wayland), or the server offers no XTest.
    static std::unique_ptr<XPointer> over(std::uint32_t sdlWindowID);
    ~XPointer();
    XPointer(const XPointer&) = delete;
    XPointer& operator=(const XPointer&) = delete;

    // At a point of the window, in its points (pixels on the X server: an X11 window has no
    // other scale).
    void moveTo(double x, double y);
    void press(Button button);
    void release(Button button);
    // Moves there, presses and releases.
    void click(double x, double y, Button button = Button::left);
    // Turns the wheel by `notches`, positive towards the user (the content moves up).
    void wheel(int notches);
    // Whether the window's event queue has taken every event sent so far (each button event and
    // wheel notch, and the pointer at the point it was last moved to): a window that handles its queue before it
    // looks again has handled them too.
    bool delivered() const;

private:
    struct State;
    explicit XPointer(std::unique_ptr<State> state);
    void sent();

    std::unique_ptr<State> m_state;
};

}  // namespace testing_support
