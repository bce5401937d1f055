#include "platform/display/chrome_drawing.h"

#include <cmath>

#include "platform/display/image_painter.h"
#include "platform/display/layer_painter.h"
#include "platform/display/text_painter.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/views/view_types.h"

namespace display {

namespace {
void setColor(cairo_t* cr, const ui::Color& c) { cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha); }

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
}  // namespace

ui::Rect ChromeDrawing::local(const ui::Rect& rect) const { return ui::Rect(local(rect.origin), rect.size); }

ui::Point ChromeDrawing::local(ui::Point point) const { return {point.x - m_origin.x, point.y - m_origin.y}; }

void ChromeDrawing::fill(const ui::Rect& rect, const ui::Color& color, double radius, std::uint32_t corners) {
    m_operations.emplace_back(Fill{local(rect), color, radius, corners});
}

void ChromeDrawing::hairline(ui::Point from, ui::Point to) { m_operations.emplace_back(Line{local(from), local(to)}); }

void ChromeDrawing::text(std::string text, const ui::Font& font, const ui::Color& color, const ui::Rect& rect,
                         ui::TextAlignment alignment) {
    m_operations.emplace_back(Text{std::move(text), font, color, local(rect), alignment});
}

void ChromeDrawing::fieldLine(std::string text, const ui::Font& font, const ui::Color& color, ui::Point origin,
                              const ui::Rect& clip) {
    m_operations.emplace_back(FieldLine{std::move(text), font, color, local(origin), local(clip)});
}

void ChromeDrawing::paragraph(std::string text, const ui::Font& font, const ui::Color& color, const ui::Rect& rect,
                              ui::TextAlignment alignment) {
    m_operations.emplace_back(Text{std::move(text), font, color, local(rect), alignment, true});
}

double ChromeDrawing::paragraphHeight(const std::string& text, const ui::Font& font, double width) {
    return std::ceil(ui::TextFrame::create(text, font, ui::TextContainer{width}).size().height);
}

void ChromeDrawing::image(std::shared_ptr<const ui::Image> image, const ui::Rect& rect, const ui::Color& tint) {
    if (image) m_operations.emplace_back(Picture{std::move(image), local(rect), tint});
}

void ChromeDrawing::fingerprint(Fingerprint& key) const {
    key.add(static_cast<std::uint64_t>(m_operations.size()));
    for (const auto& operation : m_operations) {
        key.add(static_cast<int>(operation.index()));
        std::visit(
            Overloaded{
                [&](const Fill& f) { key.add(f.rect).add(f.color).add(f.radius).add(static_cast<int>(f.corners)); },
                [&](const Line& l) { key.add(l.from).add(l.to); },
                [&](const Text& t) {
                    key.add(t.text).add(t.font.fontName()).add(t.font.pointSize()).add(t.color).add(t.rect);
                    key.add(static_cast<int>(t.alignment)).add(t.wraps);
                },
                [&](const Picture& p) {
                    ImagePainter::fingerprint(*p.image, key);
                    key.add(p.rect).add(p.tint);
                },
                [&](const FieldLine& f) {
                    key.add(f.text).add(f.font.fontName()).add(f.font.pointSize()).add(f.color);
                    key.add(f.origin).add(f.clip);
                },
            },
            operation);
    }
}

void ChromeDrawing::draw(cairo_t* cr, ImagePainter& images, TextPainter& text, double scale) const {
    for (const auto& operation : m_operations) {
        std::visit(Overloaded{
                       [&](const Fill& f) {
                           LayerPainter::cornerPath(cr, f.rect, f.radius, f.corners);
                           setColor(cr, f.color);
                           cairo_fill(cr);
                       },
                       [&](const Line& l) {
                           setColor(cr, ui::Color::separator());
                           cairo_set_line_width(cr, 0.5);
                           cairo_move_to(cr, l.from.x, l.from.y);
                           cairo_line_to(cr, l.to.x, l.to.y);
                           cairo_stroke(cr);
                       },
                       [&](const Text& t) {
                           if (!t.wraps) {
                               text.drawLine(cr, t.text, t.font, t.color, t.rect, t.alignment, scale);
                               return;
                           }
                           ui::TextContainer container{t.rect.size.width};
                           container.alignment = t.alignment;
                           const auto frame =
                               ui::TextFrame::create(*ui::AttributedString::create(t.text), t.font, t.color, container);
                           text.draw(cr, frame, t.rect.origin, scale);
                       },
                       [&](const Picture& p) {
                           images.draw(cr, *p.image, p.rect, ui::ContentMode::scaleAspectFit, p.tint, scale);
                       },
                       [&](const FieldLine& f) {
                           cairo_save(cr);
                           cairo_rectangle(cr, f.clip.origin.x, f.clip.origin.y, f.clip.size.width, f.clip.size.height);
                           cairo_clip(cr);
                           const auto frame = ui::TextFrame::create(*ui::AttributedString::create(f.text), f.font,
                                                                    f.color, ui::TextContainer{});
                           text.draw(cr, frame, f.origin, scale);
                           cairo_restore(cr);
                       },
                   },
                   operation);
    }
}

}  // namespace display
