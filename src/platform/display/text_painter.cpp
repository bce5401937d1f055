#include "platform/display/text_painter.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "platform/display/image_painter.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/font_library.h"
#include "platform/ui/text/text_attachment.h"

namespace display {

namespace {
const cairo_user_data_key_t kFaceKey{};
}

namespace {
// One FreeType library for every painter of the process: cairo may keep faces made from it in its
// caches after their painter is gone, so it lives as long as the process.
FT_Library sharedLibrary() {
    static const FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}
}  // namespace

TextPainter::TextPainter(ImagePainter& images) : m_images(images), m_library(sharedLibrary()) {}

TextPainter::~TextPainter() {
    for (auto& [name, face] : m_faces) {
        if (face) cairo_font_face_destroy(face);
    }
    m_faces.clear();
    // Cairo may still hold the faces in its caches; FreeType faces go with their cairo face.
}

cairo_font_face_t* TextPainter::face(const std::string& postscriptName) {
    if (auto found = m_faces.find(postscriptName); found != m_faces.end()) return found->second;
    cairo_font_face_t* made = nullptr;
    auto file = ui::FontLibrary::shared().fontFile(postscriptName);
    FT_Face ftFace = nullptr;
    if (m_library && file &&
        FT_New_Face(static_cast<FT_Library>(m_library), file->path.c_str(), file->index, &ftFace) == 0) {
        // Colour glyphs (emoji) in their colours; bitmap-only fonts are scaled from their strike.
        made = cairo_ft_font_face_create_for_ft_face(ftFace, FT_LOAD_COLOR);
        // The FreeType face lives as long as the cairo face that draws with it.
        if (cairo_font_face_set_user_data(made, &kFaceKey, ftFace, [](void* face) {
                FT_Done_Face(static_cast<FT_Face>(face));
            }) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(made);
            FT_Done_Face(ftFace);
            made = nullptr;
        }
    }
    m_faces[postscriptName] = made;
    return made;
}

void TextPainter::fingerprint(const ui::TextFrame& frame, Fingerprint& key) {
    key.add(static_cast<std::uint64_t>(frame.lines().size()));
    for (const auto& line : frame.lines()) {
        key.add(line.origin).add(line.ascent).add(line.descent).add(static_cast<std::uint64_t>(line.runs.size()));
        for (const auto& run : line.runs) {
            key.add(run.x).add(run.width).add(run.color).add(run.backgroundColor);
            key.add(run.attachment != nullptr);
            if (run.attachment) {
                key.add(run.attachmentBounds);
                auto image = run.attachment->image();
                key.add(image != nullptr);
                if (image) ImagePainter::fingerprint(*image, key);
                continue;
            }
            key.add(run.font.fontName()).add(run.font.pointSize());
            key.add(static_cast<std::uint64_t>(run.glyphs.size()));
            for (const auto& glyph : run.glyphs) key.add(std::uint64_t{glyph.id}).add(glyph.position);
        }
    }
}

void TextPainter::draw(cairo_t* cr, const ui::TextFrame& frame, ui::Point origin, double scale) {
    std::vector<cairo_glyph_t> glyphs;
    for (const auto& line : frame.lines()) {
        for (const auto& run : line.runs) {
            const double x = origin.x + line.origin.x + run.x;
            const double y = origin.y + line.origin.y;
            if (run.backgroundColor) {
                const auto& c = *run.backgroundColor;
                cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
                cairo_rectangle(cr, x, origin.y + line.top(), run.width, line.ascent + line.descent);
                cairo_fill(cr);
            }
            if (run.attachment) {
                if (auto image = run.attachment->image()) {
                    const auto& b = run.attachmentBounds;
                    const ui::Rect rect(x + b.origin.x, y - b.origin.y - b.size.height, b.size.width, b.size.height);
                    m_images.draw(cr, *image, rect, ui::ContentMode::scaleToFill, run.color, scale);
                }
                continue;
            }
            auto* fontFace = face(run.font.fontName());
            if (!fontFace || run.glyphs.empty()) continue;
            glyphs.clear();
            for (const auto& glyph : run.glyphs)
                glyphs.push_back({glyph.id, x + glyph.position.x, y + glyph.position.y});
            cairo_set_font_face(cr, fontFace);
            cairo_set_font_size(cr, run.font.pointSize());
            cairo_set_source_rgba(cr, run.color.red, run.color.green, run.color.blue, run.color.alpha);
            cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
        }
    }
}

double TextPainter::drawLine(cairo_t* cr, const std::string& text, const ui::Font& font, const ui::Color& color,
                             const ui::Rect& rect, ui::TextAlignment alignment, double scale) {
    auto attributed = ui::AttributedString::create(text);
    ui::TextContainer container;
    container.width = rect.size.width;
    container.maximumNumberOfLines = 1;
    container.lineBreakMode = ui::LineBreakMode::byTruncatingTail;
    container.alignment = alignment;
    auto frame = ui::TextFrame::create(*attributed, font, color, container);
    draw(cr, frame, {rect.origin.x, rect.origin.y + (rect.size.height - frame.size().height) / 2}, scale);
    return frame.lines().empty() ? 0 : frame.lines().front().width;
}

double TextPainter::width(const std::string& text, const ui::Font& font) { return font.widthOf(text); }

}  // namespace display
