#include "controls/control_assets.h"

#include "toolkit/image_assets.h"

namespace reelhaven {

void registerControlAssets() { registerImageAssets({"backward5", "forward5"}); }

}  // namespace reelhaven
