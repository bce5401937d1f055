#include "core/thumbnail_cache.h"

#include "platform/graphics/image.h"

namespace reelhaven {

std::shared_ptr<gfx::Image> ThumbnailCache::object(const std::string& key) { return m_images.object(key); }

void ThumbnailCache::setObject(std::shared_ptr<gfx::Image> image, const std::string& key) {
    const std::size_t cost = image ? image->pixels().size() : 0;
    m_images.setObject(std::move(image), key, cost);
}

void ThumbnailCache::removeAllObjects() { m_images.removeAllObjects(); }

std::size_t ThumbnailCache::count() const { return m_images.count(); }

std::size_t ThumbnailCache::totalCost() const { return m_images.totalCost(); }

}  // namespace reelhaven
