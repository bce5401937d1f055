#pragma once

#include <string>

namespace reelhaven {

// Registers the program's images the controls load by name ("backward5", "forward5", the
// 5-second skip images) from the resources folder's images/, once. An image that cannot be read
// leaves its name unregistered, so `ui::Image::named` gives none and the buttons keep theirs.
void registerControlAssets();

// The resources folder: $REELHAVEN_RESOURCES_DIR when set, else the source tree's.
std::string controlResourcesFolder();

}  // namespace reelhaven
