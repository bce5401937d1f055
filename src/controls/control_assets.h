#pragma once

namespace reelhaven {

// Registers the program's images the controls load by name ("backward5", "forward5", the
// 5-second skip images) from the resources folder's images/. An image that cannot be read
// gives none from `ui::Image::named`, so the buttons keep theirs.
void registerControlAssets();

}  // namespace reelhaven
