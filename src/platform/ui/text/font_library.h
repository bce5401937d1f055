#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// The installed fonts, read with FreeType: found by PostScript name in the font folders (the
// Inter fonts of the fonts-inter package first), with their files and design metrics in font
// units, cached. A collection file (.ttc) holds several fonts, each known by its own name and
// index. Shaping lives in text/text_shaper. Thread safe.
class FontLibrary {
public:
    // Where a font lies: its file and its index in that file (0 unless the file is a collection).
    struct FontFile {
        std::string path;
        int index = 0;
        bool operator==(const FontFile&) const = default;
    };
    struct FaceMetrics {
        double unitsPerEm = 1000;
        double ascender = 0;
        double descender = 0;
        double height = 0;
        double capHeight = 0;
        double xHeight = 0;
        int weightClass = 400;  // OpenType's 100 (thin) to 900 (black)
        std::string familyName;
    };

    // The system's fonts, the Inter folders first.
    static FontLibrary& shared();
    // The fonts in `folders`, read in this order; the first `namedFolders` of them hold fonts in
    // files named after them ("Inter-Bold.otf"), found without reading the folder.
    FontLibrary(std::vector<std::string> folders, std::size_t namedFolders);
    ~FontLibrary();

    bool hasFont(const std::string& postscriptName);
    std::optional<FaceMetrics> metrics(const std::string& postscriptName);
    // The file that holds the font, for the shaper and the painter.
    std::optional<FontFile> fontFile(const std::string& postscriptName);
    std::optional<std::string> filePath(const std::string& postscriptName) {
        auto file = fontFile(postscriptName);
        return file ? std::optional(file->path) : std::nullopt;
    }
    // Makes a font found elsewhere (the system's font configuration) known by its name; a name
    // already known keeps its file.
    void addFont(const std::string& postscriptName, FontFile file);
    // The PostScript names of every installed font (reads all font folders the first time).
    std::vector<std::string> installedFontNames();

private:
    struct Face;
    // Reads the PostScript names of the next font folder; false when every folder has been read.
    bool scanNextFolderLocked();
    // The file named after `postscriptName` in a named folder not read yet, found without reading
    // the folder; registered.
    bool findNamedFileLocked(const std::string& postscriptName);
    Face* faceLocked(const std::string& postscriptName);

    std::mutex m_mutex;
    void* m_library = nullptr;  // FT_Library
    std::vector<std::string> m_folders;
    std::size_t m_namedFolders = 0;
    std::size_t m_foldersScanned = 0;
    std::map<std::string, FontFile> m_files;  // PostScript name -> file
    std::map<std::string, std::unique_ptr<Face>> m_faces;
};

}  // namespace ui
