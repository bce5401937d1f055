#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <variant>

#include "platform/foundation/container.h"

namespace reelhaven {

// Makes `home` the process's container, creating its folders. Fails with a message a user can act
// on when the folder cannot be used (not a folder, not writable, no user extended attributes).
std::variant<std::shared_ptr<const foundation::Container>, std::string> installContainer(
    const std::filesystem::path& home);

}  // namespace reelhaven
