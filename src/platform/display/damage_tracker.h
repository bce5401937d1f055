#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/display/chrome_painter.h"
#include "platform/display/pixel_region.h"

namespace ui {
class Layer;
class View;
}  // namespace ui

namespace display {

class ContentPainter;
class LayerCache;
struct LayerGeometry;

// Finds where a view tree would paint differently from the last time it was looked at, without
// painting it: each layer as the painter would place it (presentation geometry, opacity, clips)
// with a fingerprint of what it draws, and the chrome's pieces with theirs. What changed, came or
// went is damaged where it was and where it is. A blur (a material view, a bar) shows what lies
// under it: damage under one damages all of it. A video view or a blur material view that came,
// went or moved damages the whole target, so that where videos show, and where they show
// blurred, is always learnt from a whole paint. Main thread (the painter's).
class DamageTracker {
public:
    explicit DamageTracker(ContentPainter& content) : m_content(content) {}

    // Where `root`, painted at `scale` with `chrome` over it into a target of `width` x `height`
    // pixels, differs from the last scan; all of it after `invalidate` or at another size.
    PixelRegion scan(ui::View& root, const ChromePainter::Result& chrome, double scale, int width, int height);
    // The next scan damages the whole target (the window system lost its pixels).
    void invalidate() { m_full = true; }
    // After the damage was painted: where a layer or piece that changed in the last scan left ink
    // past its place (a picture drawn beyond its view's bounds) outside `painted`, as the
    // painter's cache placed its bitmap. That must be painted too.
    PixelRegion inkOutside(const LayerCache& cache, const PixelRegion& painted);

private:
    struct Entry {
        PixelRect place;  // where it paints, as laid out
        PixelRect shown;  // where its pixels are: its place and any ink its drawing left past it
        std::uint64_t key = 0;
        bool readsBackdrop = false;
        bool video = false;   // an OpenGL view's hole, where the compositor puts its frames
        bool chrome = false;  // a bar, alert or menu (its blur reads the painted interface only)
    };
    struct Id {
        const void* object;
        int copy;
        bool operator==(const Id&) const = default;
    };
    struct IdHash {
        size_t operator()(const Id& id) const {
            return std::hash<const void*>()(id.object) ^ (static_cast<size_t>(id.copy) << 1);
        }
    };
    using Entries = std::unordered_map<Id, Entry, IdHash>;
    struct Walk;

    // Records where a shown layer paints and what, then walks its sublayers.
    void visit(Walk& walk, const ui::Layer& layer) const;
    // The layer (drawn as `view`, if one) placed by `matrix` with `opacity`: where it paints,
    // within the walk's clip, and a fingerprint of what.
    Entry entryFor(const Walk& walk, const ui::Layer& layer, ui::View* view, const LayerGeometry& geometry,
                   const cairo_matrix_t& matrix, double opacity) const;
    // The sublayers in the painter's order (each copy of a replicator's), inside `clip`.
    void visitSublayers(Walk& walk, const ui::Layer& layer, const cairo_matrix_t& matrix, const PixelRect& clip,
                        double opacity) const;
    void addChrome(Entries& entries, const ChromePainter::Result& chrome, double scale) const;

    ContentPainter& m_content;
    Entries m_entries;
    std::vector<Id> m_changed;  // layers and pieces damaged by the last scan
    int m_width = 0, m_height = 0;
    bool m_full = true;
};

}  // namespace display
