#pragma once

#include <string>

namespace ui {
class Window;
}

namespace reelhaven {

// The window's controllers as an indented outline: each controller's class and title, its
// children (a navigation stack in order) and, below, what it presents. Tells at a glance which
// screens are up when the printed screen alone does not.
std::string describeControllers(const ui::Window& window);

}  // namespace reelhaven
