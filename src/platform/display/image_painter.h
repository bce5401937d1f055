#pragma once

#include <map>
#include <memory>
#include <optional>

#include "platform/display/cairo_surface.h"
#include "platform/display/fingerprint.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/rect.h"
#include "platform/ui/views/view_types.h"

namespace display {

class SymbolIcons;

// Draws images: bitmaps through surfaces made once per bitmap and kept while the bitmap lives,
// symbols through the icon theme, tinted. Main thread (the painter's).
class ImagePainter {
public:
    explicit ImagePainter(SymbolIcons& icons) : m_icons(icons) {}

    // Draws `image` into `rect` (points, in the user space of `cr`) as `mode` places it; a symbol
    // or a template image takes `tint`. `scale` is pixels per point, to pick the icon size.
    void draw(cairo_t* cr, const ui::Image& image, const ui::Rect& rect, ui::ContentMode mode, const ui::Color& tint,
              double scale);
    // Adds what drawing `image` depends on to `key`.
    static void fingerprint(const ui::Image& image, Fingerprint& key);
    // Where `mode` puts content of `size` in `rect`.
    static ui::Rect place(ui::Size size, const ui::Rect& rect, ui::ContentMode mode);

    // Forgets surfaces whose bitmaps are gone.
    void purge();
    size_t cachedSurfaces() const { return m_surfaces.size(); }

private:
    struct Cached {
        std::weak_ptr<const gfx::Image> bitmap;
        SurfacePtr surface;
    };
    cairo_surface_t* surfaceFor(const std::shared_ptr<const gfx::Image>& bitmap);

    SymbolIcons& m_icons;
    std::map<const gfx::Image*, Cached> m_surfaces;
};

}  // namespace display
