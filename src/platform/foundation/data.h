#pragma once

#include <string>

namespace foundation {

// Raw bytes. A std::string holds any bytes (including NULs) and converts freely to the
// std::string_view that readers, hashers and writers take.
using Data = std::string;

}  // namespace foundation
