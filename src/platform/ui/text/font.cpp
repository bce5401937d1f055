#include "platform/ui/text/font.h"

#include "platform/ui/text/font_library.h"
#include "platform/ui/text/font_shaping.h"

namespace ui {

namespace {

// Metrics of a font the library has, or of the regular system font when it has not.
FontLibrary::FaceMetrics metricsFor(const std::string& name) {
    auto& library = FontLibrary::shared();
    if (auto m = library.metrics(name)) return *m;
    if (auto m = library.metrics(Font::systemFontName(FontWeight::regular))) return *m;
    return {};
}

}  // namespace

std::string Font::systemFontName(FontWeight weight) {
    switch (weight) {
        case FontWeight::ultraLight: return "Inter-ExtraLight";
        case FontWeight::thin: return "Inter-Thin";
        case FontWeight::light: return "Inter-Light";
        case FontWeight::regular: return "Inter-Regular";
        case FontWeight::medium: return "Inter-Medium";
        case FontWeight::semibold: return "Inter-SemiBold";
        case FontWeight::bold: return "Inter-Bold";
        case FontWeight::heavy: return "Inter-ExtraBold";
        case FontWeight::black: return "Inter-Black";
    }
    return "Inter-Regular";
}

std::optional<Font> Font::named(const std::string& postscriptName, double pointSize) {
    if (!FontLibrary::shared().hasFont(postscriptName)) return std::nullopt;
    return Font(FontDescriptor(postscriptName, pointSize));
}

Font Font::systemFont(double pointSize, FontWeight weight) {
    return Font(FontDescriptor(systemFontName(weight), pointSize));
}

Font Font::monospacedDigitSystemFont(double pointSize, FontWeight weight) {
    FontDescriptor descriptor(systemFontName(weight), pointSize);
    return Font(descriptor.addingAttributes(
        {{FontDescriptorAttributeName::featureSettings(), std::vector<FontFeature>{{6, 0}}}}));
}

Font Font::monospacedSystemFont(double pointSize, FontWeight weight) {
    const bool bold = weight >= FontWeight::semibold;
    if (auto font = named(bold ? "DejaVuSansMono-Bold" : "DejaVuSansMono", pointSize)) return *font;
    return monospacedDigitSystemFont(pointSize, weight);
}

Font Font::fromDescriptor(const FontDescriptor& descriptor, double pointSize) {
    FontDescriptor result = pointSize > 0 ? descriptor.withSize(pointSize) : descriptor;
    if (!FontLibrary::shared().hasFont(result.postscriptName()))
        result = result.addingAttributes({{FontDescriptorAttributeName::name(), systemFontName(FontWeight::regular)}});
    return Font(result);
}

std::string Font::familyName() const { return metricsFor(fontName()).familyName; }

Font Font::withSize(double pointSize) const { return Font(m_descriptor.withSize(pointSize)); }

namespace {

// A design metric of the font's face in points at its size.
template <typename Field>
double scaledMetric(const Font& font, Field field) {
    const auto m = metricsFor(font.fontName());
    return m.*field / m.unitsPerEm * font.pointSize();
}

}  // namespace

double Font::ascender() const { return scaledMetric(*this, &FontLibrary::FaceMetrics::ascender); }
double Font::descender() const { return scaledMetric(*this, &FontLibrary::FaceMetrics::descender); }
double Font::lineHeight() const { return scaledMetric(*this, &FontLibrary::FaceMetrics::height); }
double Font::capHeight() const { return scaledMetric(*this, &FontLibrary::FaceMetrics::capHeight); }
double Font::xHeight() const { return scaledMetric(*this, &FontLibrary::FaceMetrics::xHeight); }

double Font::leading() const { return lineHeight() - (ascender() - descender()); }

double Font::widthOf(std::string_view text) const {
    // Line breaks take no room on a line.
    if (text.find_first_of("\r\n") == std::string_view::npos) return FontShaping::shape(*this, text).width();
    std::string oneLine;
    for (const char c : text) {
        if (c != '\r' && c != '\n') oneLine += c;
    }
    return FontShaping::shape(*this, oneLine).width();
}

}  // namespace ui
