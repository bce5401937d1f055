#include "platform/ui/text/font_library.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/base/log.h"

namespace ui {

struct FontLibrary::Face {
    FT_Face face = nullptr;
    FaceMetrics metrics;
    FontFile file;
};

FontLibrary& FontLibrary::shared() {
    // The Inter folders first: the product's fonts are found without reading every installed font.
    static FontLibrary library(
        {"/usr/share/fonts/opentype/inter", "/usr/share/fonts/truetype/inter", "/usr/share/fonts"}, 2);
    return library;
}

FontLibrary::FontLibrary(std::vector<std::string> folders, std::size_t namedFolders)
    : m_folders(std::move(folders)), m_namedFolders(std::min(namedFolders, m_folders.size())) {
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

bool FontLibrary::findNamedFileLocked(const std::string& postscriptName) {
    if (!m_library || postscriptName.find('/') != std::string::npos) return false;
    for (std::size_t folder = m_foldersScanned; folder < m_namedFolders; ++folder) {
        for (const char* extension : {".otf", ".ttf"}) {
            const std::string path = m_folders[folder] + "/" + postscriptName + extension;
            FT_Face face = nullptr;
            if (FT_New_Face(static_cast<FT_Library>(m_library), path.c_str(), 0, &face) != 0) continue;
            // The file's name is only a guess: its face must carry the name.
            const char* name = FT_Get_Postscript_Name(face);
            const bool named = name && postscriptName == name;
            FT_Done_Face(face);
            if (named) {
                m_files.emplace(postscriptName, FontFile{path, 0});
                return true;
            }
        }
    }
    return false;
}

bool FontLibrary::scanNextFolderLocked() {
    if (!m_library || m_foldersScanned >= m_folders.size()) return false;
    namespace fs = std::filesystem;
    const auto& root = m_folders[m_foldersScanned++];
    std::error_code error;
    if (!fs::is_directory(root, error)) return true;
    for (fs::recursive_directory_iterator it(root, error), end; it != end && !error; it.increment(error)) {
        const auto extension = it->path().extension().string();
        if (extension != ".otf" && extension != ".ttf" && extension != ".ttc" && extension != ".otc") continue;
        // Every font of a collection (the CJK fonts come as one file per weight, a face per region).
        long faces = 1;
        for (long index = 0; index < faces; ++index) {
            FT_Face face = nullptr;
            if (FT_New_Face(static_cast<FT_Library>(m_library), it->path().c_str(), index, &face) != 0) break;
            faces = face->num_faces;
            if (const char* name = FT_Get_Postscript_Name(face))
                m_files.emplace(name, FontFile{it->path().string(), static_cast<int>(index)});
            FT_Done_Face(face);
        }
    }
    return true;
}

FontLibrary::Face* FontLibrary::faceLocked(const std::string& postscriptName) {
    if (auto it = m_faces.find(postscriptName); it != m_faces.end()) return it->second.get();
    auto file = m_files.find(postscriptName);
    // Opening every face of a folder to learn its names costs a millisecond or more per file; the
    // product's fonts are files named after their faces, found at once.
    if (file == m_files.end() && findNamedFileLocked(postscriptName)) file = m_files.find(postscriptName);
    while (file == m_files.end() && scanNextFolderLocked()) file = m_files.find(postscriptName);
    if (file == m_files.end()) return nullptr;
    FT_Face ftFace = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(m_library), file->second.path.c_str(), file->second.index, &ftFace) != 0)
        return nullptr;
    auto face = std::make_unique<Face>();
    face->face = ftFace;
    face->file = file->second;
    auto& m = face->metrics;
    m.unitsPerEm = ftFace->units_per_EM ? ftFace->units_per_EM : 1000;
    m.ascender = ftFace->ascender;
    m.descender = ftFace->descender;
    m.height = ftFace->height;
    m.familyName = ftFace->family_name ? ftFace->family_name : "";
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_OS2));
    if (os2 && os2->usWeightClass >= 100 && os2->usWeightClass <= 1000) m.weightClass = os2->usWeightClass;
    if (os2 && os2->version >= 2) {
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

std::optional<FontLibrary::FontFile> FontLibrary::fontFile(const std::string& postscriptName) {
    std::lock_guard lock(m_mutex);
    auto* face = faceLocked(postscriptName);
    if (!face) return std::nullopt;
    return face->file;
}

void FontLibrary::addFont(const std::string& postscriptName, FontFile file) {
    std::lock_guard lock(m_mutex);
    m_files.emplace(postscriptName, std::move(file));
}

std::vector<std::string> FontLibrary::installedFontNames() {
    std::lock_guard lock(m_mutex);
    while (scanNextFolderLocked()) {
    }
    std::vector<std::string> names;
    for (const auto& [name, path] : m_files) names.push_back(name);
    return names;
}

}  // namespace ui
