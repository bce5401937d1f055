#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ui {

enum class TextDirection { leftToRight, rightToLeft };

// OpenType features a font asks for beyond the defaults (kerning and contextual forms are
// always on).
enum class ShapingFeatures : unsigned { none = 0, tabularDigits = 1 };

// One glyph as HarfBuzz placed it, in font units. `cluster` is the byte offset, in the shaped
// text, of the first character the glyph stands for; a ligature stands for several.
struct ShapedGlyph {
    std::uint32_t glyph = 0;
    std::uint32_t cluster = 0;
    double advance = 0;
    double xOffset = 0;
    double yOffset = 0;  // upwards, as fonts measure
};

// A run of text shaped in one font and one direction, in font units so it serves every size.
// Glyphs are in visual order (right to left runs come out reversed).
struct ShapedText {
    std::vector<ShapedGlyph> glyphs;
    double advance = 0;
    double unitsPerEm = 1000;
};

// Shapes UTF-8 text with HarfBuzz over the installed font files (found through FontLibrary):
// kerning, ligatures and contextual forms, glyph ids as FreeType numbers them. Results are
// cached by font, features, direction and text, since labels are measured again and again while
// a screen lays out. Thread safe: the fonts are immutable once made, the cache is locked.
class TextShaper {
public:
    static TextShaper& shared();
    ~TextShaper();
    TextShaper(const TextShaper&) = delete;
    TextShaper& operator=(const TextShaper&) = delete;

    // Null when no installed font has the name.
    std::shared_ptr<const ShapedText> shape(const std::string& postscriptName, ShapingFeatures features,
                                            std::string_view utf8, TextDirection direction);

    // Whether the font has a glyph of its own for the character (false when it is not installed).
    bool hasGlyph(const std::string& postscriptName, std::uint32_t codepoint);
    // Whether the font draws its glyphs as colour pictures (an emoji font): its other characters
    // (a space as wide as an emoji) are no stand-in for text.
    bool isColourFont(const std::string& postscriptName);
    // An installed font that has the character, for text whose own font lacks it, near the weight
    // asked for (OpenType's 100 to 900): the one the system's font configuration prefers, else
    // plain sans faces first, then the others by name. None when no installed font has it.
    std::optional<std::string> fallbackFont(std::uint32_t codepoint, int weightClass = 400);

    // How many shaped runs the cache holds, and forgets them all (benchmarks measure a cold cache).
    size_t cachedRuns();
    void clearCache();

private:
    struct FontHandle;
    TextShaper() = default;
    FontHandle* fontLocked(const std::string& postscriptName);
    void rememberLocked(const std::string& key, std::shared_ptr<const ShapedText> shaped);

    // Enough for every label of several screens; each entry is a few hundred bytes.
    static constexpr size_t cacheCapacity = 8192;

    std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<FontHandle>> m_fonts;       // a null hb font: not installed
    std::optional<std::vector<std::string>> m_fallbackOrder;          // read on the first missing glyph
    std::map<std::uint64_t, std::optional<std::string>> m_fallbacks;  // by character and weight
    std::list<std::string> m_recent;                                  // most recent first
    struct Entry {
        std::shared_ptr<const ShapedText> shaped;
        std::list<std::string>::iterator position;
    };
    std::unordered_map<std::string, Entry> m_cache;
};

}  // namespace ui
