#pragma once

// The keyboard of the X server the tests run on, driven through its XTest extension: keys reach
// the window as a person's keyboard sends them, through the layout set on that display, so the
// window system (not the test) decides what each key gives and types.

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class XKeyboard {
public:
    // None without an X display with XTest (under Wayland, or with no display).
    static std::unique_ptr<XKeyboard> open();
    ~XKeyboard();
    XKeyboard(const XKeyboard&) = delete;
    XKeyboard& operator=(const XKeyboard&) = delete;

    // Sets the display's keyboard layout ("us", "ru", "fr", as setxkbmap names them); the layout
    // the display had is set back when this goes. False when it cannot be set.
    bool setLayout(const std::string& layout);
    // Gives the keyboard to the window this process shows; false when it shows none.
    bool focusOwnWindow();
    // Presses the keys that give `keysyms` (X keysym names: "Control_L", "Cyrillic_ef", "Return")
    // in order and releases them the other way round: a chord, or one key alone. False when the
    // layout has no key for one of them.
    bool chord(const std::vector<std::string>& keysyms);

private:
    explicit XKeyboard(void* display) : m_display(display) {}

    void* m_display;  // Display*
    std::string m_previousLayout;
};

}  // namespace testing_support
