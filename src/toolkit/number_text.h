#pragma once

#include <string>

namespace reelhaven {

// The text a Double prints as: the shortest digits that read back to the same value, always with
// a fractional part ("2.0", "1.5", "-0.5"), in exponent form below 1e-4 and from 2^53 on
// ("1e-05", "9.007199254740992e+15"), and "inf", "-inf", "nan".
std::string doubleText(double value);

// `value` rounded to `places` decimal places, halves to the even neighbour, working on the decimal
// digits of `doubleText` rather than on the binary value: 1.25 gives 1.2 and 1.15 gives 1.2, as a
// decimal number of those digits would. Values that are not finite come back unchanged.
double roundedHalfEven(double value, int places);

// U+00D7 MULTIPLICATION SIGN, the suffix of speed factors ("1.5×").
inline constexpr const char* kMultiplicationSign = "\xC3\x97";

}  // namespace reelhaven
