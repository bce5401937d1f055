#include "controls/control_symbols.h"

namespace reelhaven {

const ui::SymbolConfiguration& buttonSymbolConfiguration() {
    static const ui::SymbolConfiguration configuration{18, ui::SymbolWeight::medium, ui::SymbolScale::large};
    return configuration;
}

const ui::SymbolConfiguration& playSymbolConfiguration() {
    static const ui::SymbolConfiguration configuration{24, ui::SymbolWeight::medium, ui::SymbolScale::large};
    return configuration;
}

const ui::SymbolConfiguration& skipSymbolConfiguration() {
    static const ui::SymbolConfiguration configuration{26, ui::SymbolWeight::medium, ui::SymbolScale::large};
    return configuration;
}

}  // namespace reelhaven
