#pragma once

#include <optional>

namespace reelhaven {

// The look of an unchecked mark.
enum class CheckMarkStyle { OpenCircle = 0, GrayedOut = 1 };

// The style of a raw value; none for any other integer.
inline std::optional<CheckMarkStyle> checkMarkStyleFromRawValue(int raw) {
    if (raw == 0) return CheckMarkStyle::OpenCircle;
    if (raw == 1) return CheckMarkStyle::GrayedOut;
    return std::nullopt;
}

}  // namespace reelhaven
