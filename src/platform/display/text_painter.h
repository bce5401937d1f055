#pragma once

#include <map>
#include <string>

#include "platform/display/cairo_surface.h"
#include "platform/display/fingerprint.h"
#include "platform/ui/text/text_frame.h"

namespace display {

class ImagePainter;

// Paints laid-out text: each glyph run in its font and colour, rasterised by cairo through
// FreeType from the same font files the shaper used, so glyphs sit exactly where layout put them.
// Main thread (the painter's).
class TextPainter {
public:
    explicit TextPainter(ImagePainter& images);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Adds what painting `frame` depends on to `key`.
    static void fingerprint(const ui::TextFrame& frame, Fingerprint& key);
    // Paints `frame` with its top left at `origin` (points, user space of `cr`).
    void draw(cairo_t* cr, const ui::TextFrame& frame, ui::Point origin, double scale);
    // Paints `text` on one line in `rect`, centred vertically, aligned as asked and cut with "…"
    // when it is wider; returns the width it took.
    double drawLine(cairo_t* cr, const std::string& text, const ui::Font& font, const ui::Color& color,
                    const ui::Rect& rect, ui::TextAlignment alignment, double scale);
    // The width of `text` on one line.
    static double width(const std::string& text, const ui::Font& font);

private:
    // The cairo face of a font, or null when its file cannot be read.
    cairo_font_face_t* face(const std::string& postscriptName);

    ImagePainter& m_images;
    void* m_library = nullptr;                          // FT_Library
    std::map<std::string, cairo_font_face_t*> m_faces;  // PostScript name -> face (null: unreadable)
};

}  // namespace display
