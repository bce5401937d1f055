#pragma once

#include <cstdint>
#include <string>

namespace ui {

// A hardware key and what it types.
struct Key {
    // Keyboard usage codes of the keys the player and the text fields listen to.
    enum Code : int {
        unknown = 0,
        keyA = 4,
        keyC = 6,
        keyV = 25,
        keyX = 27,
        deleteOrBackspace = 42,
        home = 74,
        deleteForward = 76,
        end = 77,
        keypadEnter = 88,
        spacebar = 44,
        rightArrow = 79,
        leftArrow = 80,
        downArrow = 81,
        upArrow = 82,
        escape = 41,
        returnOrEnter = 40,
        keypad0 = 98,
    };
    enum ModifierFlags : std::uint32_t {
        none = 0,
        shift = 1 << 17,
        control = 1 << 18,
        alternate = 1 << 19,
        command = 1 << 20
    };

    int keyCode = unknown;
    std::string characters;
    std::string charactersIgnoringModifiers;
    std::uint32_t modifierFlags = none;
};

// A key press, delivered to the first responder and up the responder chain.
struct Press {
    enum class Phase { began, changed, stationary, ended, cancelled };

    Key key;
    Phase phase = Phase::began;
};

}  // namespace ui
