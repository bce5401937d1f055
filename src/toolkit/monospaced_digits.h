#pragma once

#include "platform/ui/text/font_descriptor.h"

namespace reelhaven {

// The descriptor with the feature for monospaced digits added (number spacing, type 6, selector
// 0). Time labels make their font from it with size 0, which keeps the descriptor's size.
ui::FontDescriptor withMonospacedDigits(const ui::FontDescriptor& descriptor);

}  // namespace reelhaven
