#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/gestures/press.h"

namespace reelhaven {

// What one line typed at `reelhaven --play` asks for: key presses for the player screen, or the
// screen printed as text.
struct PlayInput {
    std::vector<ui::Press> presses;
    bool printScreen = false;
};

// Reads a line: the words "left", "right", "shift-left", "shift-right", "space" and "screen"
// (separated by spaces), what a terminal sends for the arrow keys and Shift with them, or a line
// of spaces (the space bar, once per space). None, and nothing done, for anything else.
std::optional<PlayInput> parsePlayInput(const std::string& line);

// One key by its word ("left", "right", "shift-left", "shift-right", "space"); none for
// anything else.
std::optional<ui::Press> namedKeyPress(std::string_view word);
// The words `namedKeyPress` knows, for messages.
const char* keyNames();

}  // namespace reelhaven
