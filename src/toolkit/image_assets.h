#pragma once

#include <string>
#include <vector>

namespace reelhaven {

// The program's own images: PNG files named after the image in the resources folder's images/,
// drawn at three pixels per point. Registers each name with `ui::Image::named` once; its file
// is read on the first use and kept. A file that cannot be read gives no image, so callers keep
// what they show without it. Thread safe.
void registerImageAssets(const std::vector<std::string>& names);

}  // namespace reelhaven
