#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/display/fingerprint.h"
#include "platform/ui/text/font.h"
#include "platform/ui/text/text_alignment.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/rect.h"

namespace display {

class ImagePainter;
class TextPainter;

// What one piece of the window's chrome (a navigation bar, an alert, a menu) draws, written down
// before anything is drawn. The fingerprint is read from the same record the drawing plays, so a
// cache keyed on it cannot miss a change. Shapes are given in window points and kept relative to
// the piece's origin: a piece moved by whole pixels keeps its fingerprint. Main thread (the
// painter's).
class ChromeDrawing {
public:
    explicit ChromeDrawing(ui::Point origin) : m_origin(origin) {}

    // A rectangle, its `corners` (ui::CornerMask bits) rounded by `radius`.
    void fill(const ui::Rect& rect, const ui::Color& color, double radius = 0, std::uint32_t corners = ui::allCorners);
    // A separator line, half a point wide.
    void hairline(ui::Point from, ui::Point to);
    // One line of text in `rect`, as TextPainter::drawLine draws it.
    void text(std::string text, const ui::Font& font, const ui::Color& color, const ui::Rect& rect,
              ui::TextAlignment alignment);
    // A field's line of text whole, its top left at `origin` (as FieldTextLayout placed it), cut
    // off outside `clip`.
    void fieldLine(std::string text, const ui::Font& font, const ui::Color& color, ui::Point origin,
                   const ui::Rect& clip);
    // Text wrapped to the width of `rect`, from its top: as many lines as it needs.
    void paragraph(std::string text, const ui::Font& font, const ui::Color& color, const ui::Rect& rect,
                   ui::TextAlignment alignment);
    // The height `text` takes wrapped to `width`.
    static double paragraphHeight(const std::string& text, const ui::Font& font, double width);
    // An image fitted into `rect`; symbols and template images take `tint`.
    void image(std::shared_ptr<const ui::Image> image, const ui::Rect& rect, const ui::Color& tint);

    ui::Point origin() const { return m_origin; }
    // Adds everything the drawing depends on, relative to its origin, to `key`.
    void fingerprint(Fingerprint& key) const;
    // Draws the record with its origin at the origin of `cr`'s user space (points).
    void draw(cairo_t* cr, ImagePainter& images, TextPainter& text, double scale) const;

private:
    struct Fill {
        ui::Rect rect;
        ui::Color color;
        double radius;
        std::uint32_t corners;
    };
    struct Line {
        ui::Point from, to;
    };
    struct Text {
        std::string text;
        ui::Font font;
        ui::Color color;
        ui::Rect rect;
        ui::TextAlignment alignment;
        bool wraps = false;
    };
    struct FieldLine {
        std::string text;
        ui::Font font;
        ui::Color color;
        ui::Point origin;
        ui::Rect clip;
    };
    struct Picture {
        std::shared_ptr<const ui::Image> image;
        ui::Rect rect;
        ui::Color tint;
    };
    ui::Rect local(const ui::Rect& rect) const;
    ui::Point local(ui::Point point) const;

    ui::Point m_origin;
    std::vector<std::variant<Fill, Line, Text, Picture, FieldLine>> m_operations;
};

}  // namespace display
