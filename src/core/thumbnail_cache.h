#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace gfx {
class Image;
}

namespace reelhaven {

// The memory cache of thumbnails, keyed by an item id's upper-case UUID text. The managers of
// one scene share one cache, so an image made through one is a hit for the others. No count or
// cost limit; safe from any thread.
class ThumbnailCache {
public:
    static std::shared_ptr<ThumbnailCache> create() { return std::shared_ptr<ThumbnailCache>(new ThumbnailCache()); }

    // The image stored under `key`, or null.
    std::shared_ptr<gfx::Image> object(const std::string& key) const;
    void setObject(std::shared_ptr<gfx::Image> image, const std::string& key);
    void removeAllObjects();
    std::size_t count() const;

private:
    ThumbnailCache() = default;

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, std::shared_ptr<gfx::Image>> m_images;
};

}  // namespace reelhaven
