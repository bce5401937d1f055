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

// A circle open at the top with an arrow head on the side it turns towards, the number inside.
void drawSkip(cairo_t* cr, const SkipSymbol& skip, double size) {
    constexpr double pi = std::numbers::pi;
    const double centre = size / 2, radius = size * 0.4, line = std::max(1.0, size * 0.08);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_set_line_width(cr, line);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Forward turns clockwise from the top; backward mirrors it.
    if (!skip.forward) {
        cairo_translate(cr, size, 0);
        cairo_scale(cr, -1, 1);
    }
    cairo_arc(cr, centre, centre, radius, -pi / 2 + 0.15, -pi / 2 - 0.5 + 2 * pi);
    cairo_stroke(cr);
    const double tipX = centre + radius * 0.05, tipY = centre - radius;
    const double head = size * 0.16;
    cairo_move_to(cr, tipX + head * 0.2, tipY);
    cairo_line_to(cr, tipX - head, tipY - head);
    cairo_line_to(cr, tipX - head, tipY + head);
    cairo_close_path(cr);
    cairo_fill(cr);
    if (!skip.forward) {  // the number reads left to right on both
        cairo_scale(cr, -1, 1);
        cairo_translate(cr, -size, 0);
    }
    cairo_select_font_face(cr, "Inter", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size * (skip.seconds.size() > 1 ? 0.36 : 0.42));
    cairo_text_extents_t extents;
    cairo_text_extents(cr, skip.seconds.c_str(), &extents);
    cairo_move_to(cr, centre - extents.width / 2 - extents.x_bearing, centre - extents.height / 2 - extents.y_bearing);
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
