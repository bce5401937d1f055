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
    // 32 MiB: about 36 thumbnails of 640 x 360, more than a screen of grid cells. Listing 2,000
    // 1080p clips once peaked at 2.05 GB resident without a limit and 323 MB with this one (8
    // cores, 8 decoders at a time).
    static constexpr std::size_t kDefaultCostLimit = 32u << 20;

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
