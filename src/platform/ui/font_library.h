#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

// The installed fonts, read with FreeType: found by PostScript name in the font folders (the
// Inter fonts of the fonts-inter package first), with design metrics and glyph advances in font
// units, cached. Thread safe.
class FontLibrary {
public:
    struct FaceMetrics {
        double unitsPerEm = 1000;
        double ascender = 0;
        double descender = 0;
        double height = 0;
        double capHeight = 0;
        double xHeight = 0;
        std::string familyName;
    };

    static FontLibrary& shared();
    ~FontLibrary();

    bool hasFont(const std::string& postscriptName);
    std::optional<FaceMetrics> metrics(const std::string& postscriptName);
    // Sum of the advances of the text's characters in font units; with `tabularDigits` every
    // digit advances as far as the widest one.
    std::optional<double> advance(const std::string& postscriptName, std::string_view utf8, bool tabularDigits);

private:
    struct Face;
    FontLibrary();
    // Reads the PostScript names of the next font folder; false when every folder has been read.
    bool scanNextFolderLocked();
    Face* faceLocked(const std::string& postscriptName);
    double glyphAdvanceLocked(Face& face, std::uint32_t codepoint);

    std::mutex m_mutex;
    void* m_library = nullptr;  // FT_Library
    size_t m_foldersScanned = 0;
    std::map<std::string, std::string> m_files;  // PostScript name -> path
    std::map<std::string, std::unique_ptr<Face>> m_faces;
};

}  // namespace ui
