#pragma once

#include <cairo.h>

#include <memory>

#include "platform/graphics/image.h"
#include "platform/ui/views/rect.h"

namespace display {

// Owning handles of cairo objects.
struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// A transparent ARGB32 surface of `width` x `height` pixels (at least 1 x 1).
SurfacePtr createSurface(int width, int height);
// The image as a premultiplied ARGB32 surface (cairo's pixel format), a copy.
SurfacePtr surfaceFromImage(const gfx::Image& image);
// The surface's pixels as straight-alpha RGBA, a copy.
gfx::Image imageFromSurface(cairo_surface_t* surface);

// Saves the cairo state and restores it when it goes out of scope.
class SavedState {
public:
    explicit SavedState(cairo_t* cr) : m_cr(cr) { cairo_save(cr); }
    ~SavedState() { cairo_restore(m_cr); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    cairo_t* m_cr;
};

// Adds the ellipse inscribed in `rect` to the current path as a closed sub-path; an empty rect
// adds nothing.
void addEllipsePath(cairo_t* cr, const ui::Rect& rect);

}  // namespace display
