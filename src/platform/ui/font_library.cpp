#include "platform/ui/font_library.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <filesystem>
#include <vector>

#include "platform/base/log.h"

namespace ui {

struct FontLibrary::Face {
    FT_Face face = nullptr;
    FaceMetrics metrics;
    std::map<std::uint32_t, double> advances;
    std::optional<double> widestDigit;
};

namespace {

// Decodes UTF-8; malformed bytes count as U+FFFD.
std::vector<std::uint32_t> codepoints(std::string_view text) {
    std::vector<std::uint32_t> result;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + static_cast<size_t>(length) > text.size()) {
            result.push_back(0xFFFD);
            ++i;
            continue;
        }
        std::uint32_t cp = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        result.push_back(cp);
        i += static_cast<size_t>(length);
    }
    return result;
}

}  // namespace

FontLibrary& FontLibrary::shared() {
    static FontLibrary library;
    return library;
}

FontLibrary::FontLibrary() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        base::log(base::LogLevel::error, "ui", "FreeType could not start; text has no metrics");
        return;
    }
    m_library = library;
}

FontLibrary::~FontLibrary() {
    for (auto& [name, face] : m_faces) {
        if (face->face) FT_Done_Face(face->face);
    }
    if (m_library) FT_Done_FreeType(static_cast<FT_Library>(m_library));
}

bool FontLibrary::scanNextFolderLocked() {
    // The Inter folders first: the product's fonts are found without reading every installed font.
    static const std::vector<std::string> folders{"/usr/share/fonts/opentype/inter", "/usr/share/fonts/truetype/inter",
                                                  "/usr/share/fonts"};
    if (!m_library || m_foldersScanned >= folders.size()) return false;
    namespace fs = std::filesystem;
    const auto& root = folders[m_foldersScanned++];
    std::error_code error;
    if (!fs::is_directory(root, error)) return true;
    for (fs::recursive_directory_iterator it(root, error), end; it != end && !error; it.increment(error)) {
        const auto extension = it->path().extension().string();
        if (extension != ".otf" && extension != ".ttf") continue;
        FT_Face face = nullptr;
        if (FT_New_Face(static_cast<FT_Library>(m_library), it->path().c_str(), 0, &face) != 0) continue;
        if (const char* name = FT_Get_Postscript_Name(face)) m_files.emplace(name, it->path().string());
        FT_Done_Face(face);
    }
    return true;
}

FontLibrary::Face* FontLibrary::faceLocked(const std::string& postscriptName) {
    if (auto it = m_faces.find(postscriptName); it != m_faces.end()) return it->second.get();
    auto file = m_files.find(postscriptName);
    while (file == m_files.end() && scanNextFolderLocked()) file = m_files.find(postscriptName);
    if (file == m_files.end()) return nullptr;
    FT_Face ftFace = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(m_library), file->second.c_str(), 0, &ftFace) != 0) return nullptr;
    auto face = std::make_unique<Face>();
    face->face = ftFace;
    auto& m = face->metrics;
    m.unitsPerEm = ftFace->units_per_EM ? ftFace->units_per_EM : 1000;
    m.ascender = ftFace->ascender;
    m.descender = ftFace->descender;
    m.height = ftFace->height;
    m.familyName = ftFace->family_name ? ftFace->family_name : "";
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_OS2)); os2 && os2->version >= 2) {
        m.capHeight = os2->sCapHeight;
        m.xHeight = os2->sxHeight;
    } else {
        m.capHeight = m.ascender * 0.7;
        m.xHeight = m.ascender * 0.5;
    }
    auto* raw = face.get();
    m_faces.emplace(postscriptName, std::move(face));
    return raw;
}

double FontLibrary::glyphAdvanceLocked(Face& face, std::uint32_t codepoint) {
    if (auto it = face.advances.find(codepoint); it != face.advances.end()) return it->second;
    const FT_UInt glyph = FT_Get_Char_Index(face.face, codepoint);
    double advance = 0;
    if (FT_Load_Glyph(face.face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
        advance = static_cast<double>(face.face->glyph->advance.x);
    face.advances.emplace(codepoint, advance);
    return advance;
}

bool FontLibrary::hasFont(const std::string& postscriptName) {
    std::lock_guard lock(m_mutex);
    return faceLocked(postscriptName) != nullptr;
}

std::optional<FontLibrary::FaceMetrics> FontLibrary::metrics(const std::string& postscriptName) {
    std::lock_guard lock(m_mutex);
    auto* face = faceLocked(postscriptName);
    if (!face) return std::nullopt;
    return face->metrics;
}

std::optional<double> FontLibrary::advance(const std::string& postscriptName, std::string_view utf8,
                                           bool tabularDigits) {
    std::lock_guard lock(m_mutex);
    auto* face = faceLocked(postscriptName);
    if (!face) return std::nullopt;
    if (tabularDigits && !face->widestDigit) {
        double widest = 0;
        for (std::uint32_t d = '0'; d <= '9'; ++d) widest = std::max(widest, glyphAdvanceLocked(*face, d));
        face->widestDigit = widest;
    }
    double total = 0;
    for (const auto cp : codepoints(utf8)) {
        if (cp == '\n' || cp == '\r') continue;
        total += tabularDigits && cp >= '0' && cp <= '9' ? *face->widestDigit : glyphAdvanceLocked(*face, cp);
    }
    return total;
}

}  // namespace ui
