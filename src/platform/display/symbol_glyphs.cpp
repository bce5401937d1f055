#include "platform/display/symbol_glyphs.h"

#include <algorithm>
#include <cctype>
#include <numbers>
#include <optional>

namespace display {

namespace {
struct SkipSymbol {
    bool forward;
    std::string seconds;
};

// "gobackward.15" -> backward, "15"; none for anything else (a plain "gobackward" too).
std::optional<SkipSymbol> skipSymbol(const std::string& symbol) {
    for (const auto& [prefix, forward] : {std::pair<std::string, bool>("gobackward.", false), {"goforward.", true}}) {
        if (symbol.rfind(prefix, 0) != 0) continue;
        const std::string seconds = symbol.substr(prefix.size());
        if (seconds.empty() || seconds.size() > 3 ||
            !std::all_of(seconds.begin(), seconds.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        return SkipSymbol{forward, seconds};
    }
    return std::nullopt;
}

// A circle with an arrow head at the top pointing the way it turns, open ahead of the head so the
// turn reads at a glance, and the number inside as large as the circle holds.
void drawSkip(cairo_t* cr, const SkipSymbol& skip, double size) {
    constexpr double pi = std::numbers::pi;
    const double centre = size / 2, radius = size * 0.4, line = std::max(1.5, size * 0.085);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_set_line_width(cr, line);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Forward turns clockwise: from about one o'clock round to the top, where the head points
    // right. Backward mirrors it.
    if (!skip.forward) {
        cairo_translate(cr, size, 0);
        cairo_scale(cr, -1, 1);
    }
    cairo_arc(cr, centre, centre, radius, -pi / 2 + 0.95, 3 * pi / 2 - 0.1);
    cairo_stroke(cr);
    const double top = centre - radius, head = size * 0.2;
    cairo_move_to(cr, centre + radius * 0.45, top);
    cairo_line_to(cr, centre - radius * 0.1, top - head * 0.6);
    cairo_line_to(cr, centre - radius * 0.1, top + head * 0.6);
    cairo_close_path(cr);
    cairo_fill(cr);
    if (!skip.forward) {  // the number reads left to right on both
        cairo_scale(cr, -1, 1);
        cairo_translate(cr, -size, 0);
    }
    cairo_select_font_face(cr, "Inter", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size * (skip.seconds.size() > 1 ? 0.42 : 0.5));
    cairo_text_extents_t extents;
    cairo_text_extents(cr, skip.seconds.c_str(), &extents);
    // A little below the middle, clear of the head.
    cairo_move_to(cr, centre - extents.width / 2 - extents.x_bearing,
                  centre + size * 0.04 - extents.height / 2 - extents.y_bearing);
    cairo_show_text(cr, skip.seconds.c_str());
}
}  // namespace

SurfacePtr drawSymbolGlyph(const std::string& symbol, int pixels) {
    const auto skip = skipSymbol(symbol);
    if (!skip) return nullptr;
    const int size = std::max(pixels, 8);
    auto surface = createSurface(size, size);
    CairoPtr cr(cairo_create(surface.get()));
    drawSkip(cr.get(), *skip, size);
    cr.reset();
    cairo_surface_flush(surface.get());
    return surface;
}

}  // namespace display
