#include "toolkit/transparent_popover_background.h"

namespace reelhaven {

void TransparentPopoverBackground::makeTransparent() {
    setBackgroundColor(ui::Color::clear());
    setAlpha(0.0);
    setOpaque(false);
}

}  // namespace reelhaven
