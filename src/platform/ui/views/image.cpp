#include "platform/ui/views/image.h"

#include <map>
#include <mutex>

namespace ui {

namespace {

constexpr double defaultSymbolPointSize = 17;

std::mutex& assetMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::function<std::shared_ptr<Image>()>>& assets() {
    static std::map<std::string, std::function<std::shared_ptr<Image>()>> registry;
    return registry;
}

}  // namespace

std::shared_ptr<Image> Image::create(gfx::Image bitmap, double scale, ImageOrientation orientation) {
    return create(std::make_shared<const gfx::Image>(std::move(bitmap)), scale, orientation);
}

std::shared_ptr<Image> Image::create(std::shared_ptr<const gfx::Image> bitmap, double scale,
                                     ImageOrientation orientation) {
    if (!bitmap) return nullptr;
    auto image = make<Image>();
    image->m_bitmap = std::move(bitmap);
    image->m_scale = scale > 0 ? scale : 1;
    image->m_orientation = orientation;
    return image;
}

std::shared_ptr<Image> Image::systemImage(const std::string& name, std::optional<SymbolConfiguration> configuration) {
    if (name.empty()) return nullptr;
    auto image = make<Image>();
    image->m_symbolName = name;
    image->m_symbolConfiguration = configuration;
    image->m_renderingMode = ImageRenderingMode::alwaysTemplate;
    return image;
}

std::shared_ptr<Image> Image::named(const std::string& name) {
    std::function<std::shared_ptr<Image>()> factory;
    {
        std::lock_guard lock(assetMutex());
        const auto it = assets().find(name);
        if (it == assets().end()) return nullptr;
        factory = it->second;
    }
    auto image = factory ? factory() : nullptr;
    if (!image) return nullptr;
    auto copy = image->clone();
    copy->m_assetName = name;
    return copy;
}

void Image::registerAsset(const std::string& name, std::function<std::shared_ptr<Image>()> factory) {
    std::lock_guard lock(assetMutex());
    assets()[name] = std::move(factory);
}

void Image::unregisterAsset(const std::string& name) {
    std::lock_guard lock(assetMutex());
    assets().erase(name);
}

Size Image::size() const {
    if (m_bitmap) {
        Size pixels{static_cast<double>(m_bitmap->width()), static_cast<double>(m_bitmap->height())};
        if (m_orientation == ImageOrientation::left || m_orientation == ImageOrientation::right)
            std::swap(pixels.width, pixels.height);
        return {pixels.width / m_scale, pixels.height / m_scale};
    }
    const double points = m_symbolConfiguration && m_symbolConfiguration->pointSize ? *m_symbolConfiguration->pointSize
                                                                                    : defaultSymbolPointSize;
    if (!isSymbolImage()) return Size{};
    return {points + m_padding.left + m_padding.right, points + m_padding.top + m_padding.bottom};
}

std::shared_ptr<Image> Image::clone() const {
    auto image = make<Image>();
    image->m_bitmap = m_bitmap;
    image->m_scale = m_scale;
    image->m_orientation = m_orientation;
    image->m_renderingMode = m_renderingMode;
    image->m_tintColor = m_tintColor;
    image->m_symbolName = m_symbolName;
    image->m_symbolConfiguration = m_symbolConfiguration;
    image->m_assetName = m_assetName;
    image->m_padding = m_padding;
    return image;
}

std::shared_ptr<Image> Image::withPadding(const EdgeInsets& padding) const {
    auto image = clone();
    image->m_padding = {m_padding.top + padding.top, m_padding.left + padding.left, m_padding.bottom + padding.bottom,
                        m_padding.right + padding.right};
    return image;
}

std::shared_ptr<Image> Image::withRenderingMode(ImageRenderingMode mode) const {
    auto image = clone();
    image->m_renderingMode = mode;
    return image;
}

std::shared_ptr<Image> Image::withTintColor(const Color& color) const {
    auto image = clone();
    image->m_tintColor = color;
    image->m_renderingMode = ImageRenderingMode::alwaysOriginal;
    return image;
}

std::shared_ptr<Image> Image::withConfiguration(const SymbolConfiguration& configuration) const {
    auto image = clone();
    image->m_symbolConfiguration =
        m_symbolConfiguration ? m_symbolConfiguration->applying(configuration) : configuration;
    return image;
}

}  // namespace ui
