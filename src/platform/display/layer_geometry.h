#pragma once

#include <cairo.h>

#include <algorithm>
#include <vector>

#include "platform/ui/views/layer.h"
#include "platform/ui/views/replicator_layer.h"

namespace display {

// A key path's value as the layer shows it now (its animations applied), else `fallback`.
template <typename T>
T presentedValue(const ui::Layer& layer, const char* keyPath, T fallback) {
    const auto value = layer.presentationValue(keyPath);
    if (value && std::holds_alternative<T>(*value)) return std::get<T>(*value);
    return fallback;
}

// Where a layer stands as it shows now: its presented bounds, position and transform about its
// anchor, applied to its superlayer's user space the way the painter applies them.
struct LayerGeometry {
    ui::Rect bounds;
    ui::Point position;
    ui::Transform3D transform;
    ui::Point anchor;

    static LayerGeometry presented(const ui::Layer& layer) {
        return {presentedValue<ui::Rect>(layer, "bounds", layer.bounds()), layer.presentationPosition(),
                presentedValue<ui::Transform3D>(layer, "transform", layer.transform()), layer.anchorPoint()};
    }
    // The 2D part of a 3D transform (depth and perspective dropped), for row vectors:
    // x' = m0 x + m4 y + m12, y' = m1 x + m5 y + m13.
    static cairo_matrix_t matrixOf(const ui::Transform3D& t) {
        cairo_matrix_t m;
        cairo_matrix_init(&m, t.m[0], t.m[1], t.m[4], t.m[5], t.m[12], t.m[13]);
        return m;
    }
    // Turns `matrix` from the superlayer's user space into this layer's.
    void apply(cairo_matrix_t& matrix) const {
        cairo_matrix_translate(&matrix, position.x, position.y);
        if (!transform.isIdentity()) {
            const auto m = matrixOf(transform);
            cairo_matrix_multiply(&matrix, &m, &matrix);
        }
        cairo_matrix_translate(&matrix, -anchor.x * bounds.size.width - bounds.origin.x,
                               -anchor.y * bounds.size.height - bounds.origin.y);
    }
};

// A layer's sublayers in the order they are painted: by z position, the order added among equals.
inline std::vector<const ui::Layer*> paintOrder(const ui::Layer& layer) {
    std::vector<const ui::Layer*> ordered;
    for (const auto& sublayer : layer.sublayers()) ordered.push_back(sublayer.get());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ui::Layer* a, const ui::Layer* b) { return a->zPosition() < b->zPosition(); });
    return ordered;
}

// How many times a layer's sublayers are drawn (a replicator's instances), each moved by `step`
// from the one before.
struct Replication {
    int copies = 1;
    cairo_matrix_t step;

    static Replication of(const ui::Layer& layer) {
        Replication replication;
        cairo_matrix_init_identity(&replication.step);
        if (auto* replicator = dynamic_cast<const ui::ReplicatorLayer*>(&layer)) {
            replication.copies = std::max(0, replicator->instanceCount());
            replication.step = LayerGeometry::matrixOf(replicator->instanceTransform());
        }
        return replication;
    }
};

}  // namespace display
