#include "core/thumbnail_cache.h"

namespace reelhaven {

std::shared_ptr<gfx::Image> ThumbnailCache::object(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    auto found = m_images.find(key);
    return found == m_images.end() ? nullptr : found->second;
}

void ThumbnailCache::setObject(std::shared_ptr<gfx::Image> image, const std::string& key) {
    std::lock_guard lock(m_mutex);
    if (image) {
        m_images[key] = std::move(image);
    } else {
        m_images.erase(key);
    }
}

void ThumbnailCache::removeAllObjects() {
    std::lock_guard lock(m_mutex);
    m_images.clear();
}

std::size_t ThumbnailCache::count() const {
    std::lock_guard lock(m_mutex);
    return m_images.size();
}

}  // namespace reelhaven
