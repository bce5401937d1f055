#pragma once

#include "platform/ui/controls/symbol_configuration.h"

namespace reelhaven {

// The symbol configurations of the player's bar buttons, made once and shared by every bar.
const ui::SymbolConfiguration& buttonSymbolConfiguration();  // 18 pt, medium, large
const ui::SymbolConfiguration& playSymbolConfiguration();    // 24 pt, medium, large
// The skip buttons' circle holds its number of seconds, which must read at the button's size.
const ui::SymbolConfiguration& skipSymbolConfiguration();  // 26 pt, medium, large

}  // namespace reelhaven
