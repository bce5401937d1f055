#include "toolkit/image_assets.h"

#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/foundation/bundle.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/views/image.h"

namespace reelhaven {
namespace {

// The images are drawn at three pixels per point.
constexpr double kAssetScale = 3;

std::shared_ptr<ui::Image> loadImage(const std::string& name) {
    std::ifstream file(foundation::Bundle::main().resourcePath() + "/images/" + name + ".png", std::ios::binary);
    if (!file) return nullptr;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    auto bitmap = gfx::PngCodec::decode(bytes.str());
    if (!bitmap) return nullptr;
    return ui::Image::create(std::move(bitmap.value()), kAssetScale);
}

}  // namespace

void registerImageAssets(const std::vector<std::string>& names) {
    static std::mutex mutex;
    static std::set<std::string> registered;
    std::lock_guard lock(mutex);
    for (const auto& name : names) {
        if (!registered.insert(name).second) continue;
        // Read once, on first use, by whichever thread asks first.
        auto once = std::make_shared<std::once_flag>();
        auto image = std::make_shared<std::shared_ptr<ui::Image>>();
        ui::Image::registerAsset(name, [name, once, image] {
            std::call_once(*once, [&] { *image = loadImage(name); });
            return *image;
        });
    }
}

}  // namespace reelhaven
