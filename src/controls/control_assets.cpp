#include "controls/control_assets.h"

#include <mutex>

#include "platform/ui/views/image.h"

namespace reelhaven {

void registerControlAssets() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The circle and arrow of the other intervals' symbols with a 5 inside, drawn by the same
        // paths: a picture of its own came out smaller, thinner and in its own grey beside them.
        ui::Image::registerAsset("backward5", [] { return ui::Image::systemImage("gobackward.5"); });
        ui::Image::registerAsset("forward5", [] { return ui::Image::systemImage("goforward.5"); });
    });
}

}  // namespace reelhaven
