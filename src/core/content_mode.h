#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace reelhaven {

// How the picture fills the screen; stored in progress records by its raw string.
enum class ContentMode { aspectFit, aspectFitUnsafe, aspectFill };

std::string_view rawValue(ContentMode mode);
// Nothing for any text that is not one of the three raw values.
std::optional<ContentMode> contentModeFromRawValue(std::string_view raw);

}  // namespace reelhaven
