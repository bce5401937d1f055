#pragma once

#include <filesystem>
#include <fstream>

#include "platform/foundation/json.h"

namespace testing_support {

// The settings a container's app wrote to its preferences file, as the file holds them now; an
// empty object while there is no file, and a discarded value when it does not parse.
inline foundation::Json storedDefaults(const std::filesystem::path& home) {
    std::ifstream file(home / "Library/Preferences/com.qvrm.reelhaven.json");
    return file ? foundation::Json::parse(file, nullptr, false) : foundation::Json::object();
}

}  // namespace testing_support
