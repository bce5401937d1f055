#include "platform/display/damage_tracker.h"

#include <algorithm>
#include <cmath>

#include "platform/display/content_painter.h"
#include "platform/display/fingerprint.h"
#include "platform/display/layer_cache.h"
#include "platform/display/layer_geometry.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/views/gradient_layer.h"
#include "platform/ui/views/replicator_layer.h"
#include "platform/ui/views/view.h"
#include "platform/ui/views/visual_effect_view.h"

namespace display {

namespace {
// Antialiasing reaches a pixel past a shape's edge.
constexpr int kEdge = 1;

// The device pixels `rect` (user space of `m`) touches, grown by `margin` pixels.
PixelRect deviceBox(const cairo_matrix_t& m, const ui::Rect& rect, double margin) {
    double xs[4] = {rect.origin.x, rect.maxX(), rect.origin.x, rect.maxX()};
    double ys[4] = {rect.origin.y, rect.origin.y, rect.maxY(), rect.maxY()};
    double left = 1e18, top = 1e18, right = -1e18, bottom = -1e18;
    for (int i = 0; i < 4; ++i) {
        cairo_matrix_transform_point(&m, &xs[i], &ys[i]);
        left = std::min(left, xs[i]);
        right = std::max(right, xs[i]);
        top = std::min(top, ys[i]);
        bottom = std::max(bottom, ys[i]);
    }
    auto clampInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    return {clampInt(std::floor(left - margin)), clampInt(std::floor(top - margin)),
            clampInt(std::ceil(right + margin)), clampInt(std::ceil(bottom + margin))};
}

void collectViews(ui::View& view, std::unordered_map<const ui::Layer*, ui::View*>& views) {
    views[&view.layer()] = &view;
    for (const auto& child : view.subviews()) collectViews(*child, views);
}
}  // namespace

// The state of the walk down one branch of the tree.
struct DamageTracker::Walk {
    std::unordered_map<const ui::Layer*, ui::View*> views;
    Entries entries;
    double scale = 1;
    cairo_matrix_t matrix;
    PixelRect clip;
    double opacity = 1;
    int copy = 0;
    const void* below = nullptr;  // the layer painted just before, under the same superlayer
};

void DamageTracker::visit(Walk& walk, const ui::Layer& layer) const {
    if (layer.isHidden()) return;
    const double ownOpacity = layer.presentationOpacity();
    if (ownOpacity <= 0.001) return;
    const LayerGeometry geometry = LayerGeometry::presented(layer);
    cairo_matrix_t matrix = walk.matrix;
    geometry.apply(matrix);
    const double opacity = walk.opacity * ownOpacity;
    const auto found = walk.views.find(&layer);
    ui::View* view = found != walk.views.end() ? found->second : nullptr;
    walk.entries[Id{&layer, walk.copy}] = entryFor(walk, layer, view, geometry, matrix, opacity);

    PixelRect clip = walk.clip;
    if (layer.masksToBounds() || dynamic_cast<ui::ScrollView*>(view))
        clip = clip.intersection(deviceBox(matrix, geometry.bounds, kEdge));
    if (!clip.isEmpty()) visitSublayers(walk, layer, matrix, clip, opacity);
}

DamageTracker::Entry DamageTracker::entryFor(const Walk& walk, const ui::Layer& layer, ui::View* view,
                                             const LayerGeometry& geometry, const cairo_matrix_t& matrix,
                                             double opacity) const {
    // How far the layer's own drawing may reach past its bounds, in points.
    double reach = 0;
    if (layer.shadowOpacity() > 0 && layer.shadowColor()) {
        const auto offset = layer.shadowOffset();
        reach = layer.shadowRadius() * 3 + std::max(std::abs(offset.width), std::abs(offset.height));
    }
    const double pointsToPixels = std::sqrt(std::abs(matrix.xx * matrix.yy - matrix.xy * matrix.yx));
    Entry entry;
    entry.place = deviceBox(matrix, geometry.bounds, kEdge + reach * pointsToPixels).intersection(walk.clip);
    entry.shown = entry.place;

    Fingerprint key;
    key.add(layer.contentsVersion()).add(geometry.bounds).add(opacity).add(std::uint64_t{layer.maskedCorners()});
    key.add(matrix.xx).add(matrix.yx).add(matrix.xy).add(matrix.yy).add(matrix.x0).add(matrix.y0);
    key.add(walk.clip.x0).add(walk.clip.y0).add(walk.clip.x1).add(walk.clip.y1);
    key.add(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(walk.below)));
    key.add(presentedValue<double>(layer, "cornerRadius", layer.cornerRadius()));
    key.add(presentedValue<ui::Color>(layer, "backgroundColor", layer.backgroundColor().value_or(ui::Color::clear())));
    if (auto* gradient = dynamic_cast<const ui::GradientLayer*>(&layer)) {
        for (const auto& color : gradient->presentationColors()) key.add(color);
    }
    if (const auto mask = layer.mask()) {
        const LayerGeometry maskGeometry = LayerGeometry::presented(*mask);
        key.add(mask->contentsVersion()).add(maskGeometry.bounds).add(maskGeometry.position);
        key.add(mask->presentationOpacity()).add(mask->isHidden());
    }
    if (view && m_content.kind(*view) != ContentPainter::Kind::none) m_content.fingerprint(*view, key);
    entry.key = key.value();
    entry.readsBackdrop = dynamic_cast<ui::VisualEffectView*>(view) != nullptr;
    entry.video = dynamic_cast<ui::GLView*>(view) != nullptr;
    return entry;
}

void DamageTracker::visitSublayers(Walk& walk, const ui::Layer& layer, const cairo_matrix_t& matrix,
                                   const PixelRect& clip, double opacity) const {
    const auto ordered = paintOrder(layer);
    const auto [copies, step] = Replication::of(layer);
    const Walk saved{{}, {}, walk.scale, walk.matrix, walk.clip, walk.opacity, walk.copy, walk.below};
    cairo_matrix_t copyMatrix = matrix;
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) cairo_matrix_multiply(&copyMatrix, &step, &copyMatrix);
        walk.below = nullptr;
        for (const auto* sublayer : ordered) {
            walk.matrix = copyMatrix;
            walk.clip = clip;
            walk.opacity = opacity;
            walk.copy = saved.copy * 31 + copy;
            visit(walk, *sublayer);
            walk.below = sublayer;
        }
    }
    walk.matrix = saved.matrix;
    walk.clip = saved.clip;
    walk.opacity = saved.opacity;
    walk.copy = saved.copy;
    walk.below = &layer;
}

void DamageTracker::addChrome(Entries& entries, const ChromePainter::Result& chrome, double scale) const {
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, scale, scale);
    for (const auto& piece : chrome.pieces) {
        const PixelRect place = deviceBox(matrix, piece.rect, kEdge);
        Entry entry{place, place, piece.key, piece.blurred, false, true};
        entries[Id{piece.owner, -piece.part}] = entry;
    }
}

PixelRegion DamageTracker::scan(ui::View& root, const ChromePainter::Result& chrome, double scale, int width,
                                int height) {
    Walk walk;
    collectViews(root, walk.views);
    walk.scale = scale;
    cairo_matrix_init_scale(&walk.matrix, scale, scale);
    // The root stands at the origin whatever its frame says.
    cairo_matrix_translate(&walk.matrix, -root.frame().origin.x, -root.frame().origin.y);
    walk.clip = {0, 0, width, height};
    visit(walk, root.layer());
    addChrome(walk.entries, chrome, scale);

    PixelRegion damage;
    m_changed.clear();
    bool full = m_full || width != m_width || height != m_height;
    for (auto& [id, entry] : walk.entries) {
        const auto old = m_entries.find(id);
        if (!full && old != m_entries.end() && old->second.key == entry.key && old->second.place == entry.place) {
            entry.shown = old->second.shown;  // where its pixels are, ink past its place included
            continue;
        }
        if (old != m_entries.end()) damage.add(old->second.shown, width, height);
        damage.add(entry.place, width, height);
        m_changed.push_back(id);
        // Where videos show, and where blur materials lie over them, is learnt from a paint of
        // the whole: a partial one sees only its part.
        const bool wide = entry.video || (entry.readsBackdrop && !entry.chrome);
        full = full || wide ||
               (old != m_entries.end() && (old->second.video || (old->second.readsBackdrop && !old->second.chrome)));
    }
    for (const auto& [id, entry] : m_entries) {
        if (walk.entries.contains(id)) continue;
        damage.add(entry.shown, width, height);
        full = full || entry.video || (entry.readsBackdrop && !entry.chrome);
    }
    if (full) damage = PixelRegion::whole(width, height);
    // A blur over damage shows it changed as a whole.
    for (bool grown = true; grown && !damage.isEmpty();) {
        grown = false;
        for (const auto& [id, entry] : walk.entries) {
            const PixelRect place = entry.place.intersection({0, 0, width, height});
            if (!entry.readsBackdrop || !damage.intersects(place) || damage.contains(place)) continue;
            damage.add(place, width, height);
            grown = true;
        }
    }
    m_entries = std::move(walk.entries);
    m_width = width;
    m_height = height;
    m_full = false;
    return damage;
}

PixelRegion DamageTracker::inkOutside(const LayerCache& cache, const PixelRegion& painted) {
    PixelRegion outside;
    for (const auto& id : m_changed) {
        const auto ink = cache.inkRect(id.object, id.copy < 0 ? -id.copy : 0);
        if (!ink) continue;
        auto found = m_entries.find(id);
        if (found != m_entries.end()) found->second.shown = found->second.shown.united(*ink);
        if (!painted.contains(ink->intersection({0, 0, m_width, m_height}))) outside.add(*ink, m_width, m_height);
    }
    return outside;
}

}  // namespace display
