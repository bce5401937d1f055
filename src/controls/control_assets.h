#pragma once

namespace reelhaven {

// Registers the program's images the controls load by name: "backward5" and "forward5", the
// 5-second skip images, are symbols drawn as the 10, 15 and 30 second ones are, so they take the
// buttons' symbol size and tint alike. Once per process; a test may register others over them.
void registerControlAssets();

}  // namespace reelhaven
