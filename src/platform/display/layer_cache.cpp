#include "platform/display/layer_cache.h"

#include <algorithm>
#include <cmath>

namespace display {

namespace {
// Bitmaps larger than this are not kept: the drawing goes straight to the target.
constexpr double kLargestBitmap = 4096.0 * 4096.0;

// Whether `b` is `a` moved by whole pixels (up to a thousandth of one, which no pixel shows).
bool wholePixels(double a, double b) {
    const double shift = b - a;
    return std::abs(shift - std::round(shift)) < 1e-3;
}
}  // namespace

bool LayerCache::sameGrid(const cairo_matrix_t& a, const cairo_matrix_t& b) {
    constexpr double epsilon = 1e-9;
    return std::abs(a.xx - b.xx) < epsilon && std::abs(a.yx - b.yx) < epsilon && std::abs(a.xy - b.xy) < epsilon &&
           std::abs(a.yy - b.yy) < epsilon && wholePixels(a.x0, b.x0) && wholePixels(a.y0, b.y0);
}

void LayerCache::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled) m_entries.clear();
}

size_t LayerCache::bitmaps() const {
    size_t count = 0;
    for (const auto& [owner, entries] : m_entries) count += entries.size();
    return count;
}

void LayerCache::draw(cairo_t* cr, const ui::Layer& layer, int part, const Fingerprint& key, bool moving,
                      const std::function<void(cairo_t*)>& draw) {
    if (!m_enabled) {
        draw(cr);
        return;
    }
    cairo_matrix_t now;
    cairo_get_matrix(cr, &now);
    auto& entries = m_entries[Owner{&layer, part}];
    Entry* elsewhere = nullptr;
    for (auto& entry : entries) {
        if (!(entry.key == key)) continue;
        if (sameGrid(entry.matrix, now)) {
            entry.used = true;
            ++m_statistics.reused;
            composite(cr, entry, now);
            return;
        }
        if (!elsewhere) elsewhere = &entry;
    }
    if (moving && elsewhere) {
        elsewhere->used = true;
        ++m_statistics.reused;
        ++m_statistics.transformed;
        composite(cr, *elsewhere, now);
        return;
    }
    ++m_statistics.rendered;
    auto made = render(cr, key, draw);
    if (!made) {
        draw(cr);
        return;
    }
    // What this frame has not used yet is what the new drawing replaces.
    std::erase_if(entries, [](const Entry& entry) { return !entry.used; });
    entries.push_back(std::move(*made));
    entries.back().used = true;
    composite(cr, entries.back(), now);
}

std::optional<LayerCache::Entry> LayerCache::render(cairo_t* cr, const Fingerprint& key,
                                                    const std::function<void(cairo_t*)>& draw) {
    Entry entry{key, {}, nullptr, 0, 0, false, {}};
    cairo_get_matrix(cr, &entry.matrix);
    // Recorded first to learn where the drawing leaves ink, then played into a bitmap just that
    // big, on the target's pixel grid.
    SurfacePtr recording(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr));
    {
        CairoPtr recorder(cairo_create(recording.get()));
        cairo_set_matrix(recorder.get(), &entry.matrix);
        draw(recorder.get());
    }
    double x = 0, y = 0, width = 0, height = 0;
    cairo_recording_surface_ink_extents(recording.get(), &x, &y, &width, &height);
    if (width <= 0 || height <= 0) return entry;
    // A pixel of margin: ink extents may leave out the faintest edge of antialiasing.
    const int left = static_cast<int>(std::floor(x)) - 1, top = static_cast<int>(std::floor(y)) - 1;
    const int right = static_cast<int>(std::ceil(x + width)) + 1, bottom = static_cast<int>(std::ceil(y + height)) + 1;
    if (static_cast<double>(right - left) * static_cast<double>(bottom - top) > kLargestBitmap) return std::nullopt;
    entry.bitmap = createSurface(right - left, bottom - top);
    entry.x = left;
    entry.y = top;
    CairoPtr player(cairo_create(entry.bitmap.get()));
    cairo_set_source_surface(player.get(), recording.get(), -left, -top);
    cairo_paint(player.get());
    return entry;
}

void LayerCache::composite(cairo_t* cr, Entry& entry, const cairo_matrix_t& now) {
    entry.placed = {};
    if (!entry.bitmap) return;
    SavedState saved(cr);
    const int width = cairo_image_surface_get_width(entry.bitmap.get());
    const int height = cairo_image_surface_get_height(entry.bitmap.get());
    if (sameGrid(entry.matrix, now)) {
        // Whole pixels: an exact copy.
        const int x = entry.x + static_cast<int>(std::round(now.x0 - entry.matrix.x0));
        const int y = entry.y + static_cast<int>(std::round(now.y0 - entry.matrix.y0));
        entry.placed = {x, y, x + width, y + height};
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, entry.bitmap.get(), x, y);
    } else {
        // Bitmap pixels to the user space they were drawn in, then to the device as it is now.
        cairo_matrix_t toUser = entry.matrix;
        if (cairo_matrix_invert(&toUser) != CAIRO_STATUS_SUCCESS) return;
        cairo_matrix_t placed, bitmapToUser, full;
        cairo_matrix_init_translate(&placed, entry.x, entry.y);
        cairo_matrix_multiply(&bitmapToUser, &placed, &toUser);
        cairo_matrix_multiply(&full, &bitmapToUser, &now);
        cairo_set_matrix(cr, &full);
        double left = 0, top = 0, right = width, bottom = height;
        cairo_user_to_device(cr, &left, &top);
        cairo_user_to_device(cr, &right, &bottom);
        double corners[2][2] = {{0, static_cast<double>(height)}, {static_cast<double>(width), 0}};
        cairo_user_to_device(cr, &corners[0][0], &corners[0][1]);
        cairo_user_to_device(cr, &corners[1][0], &corners[1][1]);
        const double xs[4] = {left, right, corners[0][0], corners[1][0]};
        const double ys[4] = {top, bottom, corners[0][1], corners[1][1]};
        // A pixel more each way for the filter's reach.
        entry.placed = {static_cast<int>(std::floor(*std::min_element(xs, xs + 4))) - 1,
                        static_cast<int>(std::floor(*std::min_element(ys, ys + 4))) - 1,
                        static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))) + 1,
                        static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))) + 1};
        cairo_set_source_surface(cr, entry.bitmap.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    }
    cairo_paint(cr);
}

std::optional<PixelRect> LayerCache::inkRect(const void* layer, int part) const {
    const auto found = m_entries.find(Owner{layer, part});
    if (found == m_entries.end()) return std::nullopt;
    std::optional<PixelRect> ink;
    for (const auto& entry : found->second) {
        if (entry.used && !entry.placed.isEmpty()) ink = ink ? ink->united(entry.placed) : entry.placed;
    }
    return ink;
}

void LayerCache::endFrame() {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        auto& entries = it->second;
        std::erase_if(entries, [](const Entry& entry) { return !entry.used; });
        for (auto& entry : entries) entry.used = false;
        it = entries.empty() ? m_entries.erase(it) : std::next(it);
    }
}

}  // namespace display
