#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/foundation/cache.h"

namespace gfx {
class Image;
}

namespace reelhaven {

// The memory cache of thumbnails, keyed by an item id's upper-case UUID text. The managers of
// one scene share one cache, so an image made through one is a hit for the others. It holds
// images up to a total of pixel bytes and lets the least recently used go beyond that; an image
// that went is read again from its PNG file in Caches. Safe from any thread.
class ThumbnailCache {
public:
    // 16 MiB: about 18 thumbnails of 640 x 360. The grid's cells hold the images they show (the
    // cache's own, not copies), and a video reaches its image while a cell holds it, so the cache
    // serves what scrolled away and comes back; beyond it an image is read again from its PNG.
    // Listing 2,000 1080p clips peaked at 2.05 GB resident without a limit.
    static constexpr std::size_t kDefaultCostLimit = 16u << 20;

    static std::shared_ptr<ThumbnailCache> create(std::size_t costLimit = kDefaultCostLimit) {
        return std::shared_ptr<ThumbnailCache>(new ThumbnailCache(costLimit));
    }

    // The image stored under `key`, or null.
    std::shared_ptr<gfx::Image> object(const std::string& key);
    // Stores an image at the cost of its pixel bytes; a null image removes the key.
    void setObject(std::shared_ptr<gfx::Image> image, const std::string& key);
    void removeAllObjects();
    std::size_t count() const;
    std::size_t totalCost() const;

private:
    explicit ThumbnailCache(std::size_t costLimit) : m_images(costLimit) {}

    foundation::Cache<std::string, gfx::Image> m_images;
};

}  // namespace reelhaven
