#include "controls/control_assets.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/foundation/bundle.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/views/image.h"

namespace reelhaven {
namespace {

// The images are drawn at three pixels per point.
constexpr double kAssetScale = 3;

std::shared_ptr<ui::Image> loadImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    auto bitmap = gfx::PngCodec::decode(bytes.str());
    if (!bitmap) return nullptr;
    return ui::Image::create(std::move(bitmap.value()), kAssetScale);
}

}  // namespace

std::string controlResourcesFolder() { return foundation::Bundle::main().resourcePath(); }

void registerControlAssets() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* name : {"backward5", "forward5"}) {
            auto image = loadImage(controlResourcesFolder() + "/images/" + name + ".png");
            if (!image) continue;
            ui::Image::registerAsset(name, [image] { return image; });
        }
    });
}

}  // namespace reelhaven
