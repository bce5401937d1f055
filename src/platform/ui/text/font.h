#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/text/font_descriptor.h"

namespace ui {

// A font at a size, with real metrics from FreeType over the installed font files. The system
// font is Inter in the weight asked for. Value type.
class Font {
public:
    // A font by PostScript name ("Inter-SemiBold"); none when no installed font has that name.
    static std::optional<Font> named(const std::string& postscriptName, double pointSize);
    static Font systemFont(double pointSize, FontWeight weight = FontWeight::regular);
    static Font boldSystemFont(double pointSize) { return systemFont(pointSize, FontWeight::bold); }
    static Font monospacedDigitSystemFont(double pointSize, FontWeight weight = FontWeight::regular);
    // Every glyph one width: DejaVu Sans Mono, bold from semibold up; without it installed, the
    // system font with monospaced digits.
    static Font monospacedSystemFont(double pointSize, FontWeight weight = FontWeight::regular);
    // The font a descriptor describes; a size of 0 keeps the descriptor's. An unknown name falls
    // back to the system font.
    static Font fromDescriptor(const FontDescriptor& descriptor, double pointSize);
    // The PostScript name of the system font of a weight.
    static std::string systemFontName(FontWeight weight);

    const std::string& fontName() const { return m_descriptor.postscriptName(); }
    std::string familyName() const;
    double pointSize() const { return m_descriptor.pointSize(); }
    const FontDescriptor& fontDescriptor() const { return m_descriptor; }
    Font withSize(double pointSize) const;

    // Metrics in points: ascender above the baseline, descender below it (negative).
    double ascender() const;
    double descender() const;
    double lineHeight() const;
    double capHeight() const;
    double xHeight() const;
    double leading() const;
    // The advance width of UTF-8 text on one line, shaped: kerned, with ligatures and contextual
    // forms (tabular digits when the font asks for them).
    double widthOf(std::string_view text) const;

    bool operator==(const Font& other) const { return m_descriptor == other.m_descriptor; }

private:
    explicit Font(FontDescriptor descriptor) : m_descriptor(std::move(descriptor)) {}

    FontDescriptor m_descriptor;
};

}  // namespace ui
