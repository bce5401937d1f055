#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/display/fingerprint.h"
#include "platform/display/pixel_region.h"

namespace ui {
class Layer;
}

namespace display {

// Keeps what a layer draws of itself as a bitmap in device pixels and composites that bitmap
// instead of drawing again, for as long as the drawing's fingerprint and its place on the pixel
// grid stay the same: the same linear transform and the same fraction of a pixel, so a bitmap
// moved by whole pixels copies exactly. While a layer (or one above it) is animated, a bitmap of
// the same fingerprint is moved, scaled or turned to its place instead of drawn again; once the
// layer rests it is drawn again at its exact place. Bitmaps not used in a frame are let go at its
// end. Disabled, every drawing goes straight to the target (the reference that tests compare
// against). Main thread (the painter's).
class LayerCache {
public:
    struct Statistics {
        std::uint64_t rendered = 0;     // bitmaps drawn
        std::uint64_t reused = 0;       // bitmaps composited without drawing
        std::uint64_t transformed = 0;  // of those, moved to a new place on the grid while animated
    };

    // Draws what `draw` draws into `cr` (in its current user space) through the cache: the
    // bitmap of `layer`'s `part` with `key` when there is one, else `draw` into a new one.
    // `moving`: the layer's place on the screen is animated.
    void draw(cairo_t* cr, const ui::Layer& layer, int part, const Fingerprint& key, bool moving,
              const std::function<void(cairo_t*)>& draw);
    // Lets go of the bitmaps the frame did not use.
    void endFrame();
    // Where the bitmaps of `layer`'s `part` went on the target in this frame, in device pixels;
    // none when it composited none.
    std::optional<PixelRect> inkRect(const void* layer, int part) const;

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    Statistics statistics() const { return m_statistics; }
    size_t bitmaps() const;

private:
    struct Entry {
        Fingerprint key;
        cairo_matrix_t matrix;  // user space to device pixels when it was drawn
        SurfacePtr bitmap;      // null: the drawing left no ink
        int x = 0, y = 0;       // the bitmap's top left in device pixels
        bool used = false;
        PixelRect placed;  // where it was composited last
    };
    struct Owner {
        const void* layer;
        int part;
        bool operator==(const Owner&) const = default;
    };
    struct OwnerHash {
        size_t operator()(const Owner& o) const {
            return std::hash<const void*>()(o.layer) ^ (static_cast<size_t>(o.part) << 1);
        }
    };

    static bool sameGrid(const cairo_matrix_t& a, const cairo_matrix_t& b);
    // The drawing as a bitmap on the target's grid; none when it is too large to keep.
    std::optional<Entry> render(cairo_t* cr, const Fingerprint& key, const std::function<void(cairo_t*)>& draw);
    void composite(cairo_t* cr, Entry& entry, const cairo_matrix_t& now);

    bool m_enabled = true;
    Statistics m_statistics;
    std::unordered_map<Owner, std::vector<Entry>, OwnerHash> m_entries;
};

}  // namespace display
