#include "platform/ui/text/text_shaper.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>

#include "platform/ui/text/font_fallback.h"
#include "platform/ui/text/font_library.h"

namespace ui {

struct TextShaper::FontHandle {
    hb_font_t* font = nullptr;
    double unitsPerEm = 1000;
    bool colour = false;
    ~FontHandle() {
        if (font) hb_font_destroy(font);
    }
};

TextShaper& TextShaper::shared() {
    static TextShaper shaper;
    return shaper;
}

TextShaper::~TextShaper() = default;

TextShaper::FontHandle* TextShaper::fontLocked(const std::string& postscriptName) {
    if (auto it = m_fonts.find(postscriptName); it != m_fonts.end()) return it->second.get();
    auto handle = std::make_unique<FontHandle>();
    if (const auto file = FontLibrary::shared().fontFile(postscriptName)) {
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(file->path.c_str());
        if (blob) {
            hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(file->index));
            // At a scale of one em in font units the positions come out in font units.
            handle->unitsPerEm = hb_face_get_upem(face);
            handle->colour = hb_ot_color_has_png(face) || hb_ot_color_has_layers(face);
            handle->font = hb_font_create(face);
            hb_font_set_scale(handle->font, static_cast<int>(handle->unitsPerEm), static_cast<int>(handle->unitsPerEm));
            hb_font_make_immutable(handle->font);
            hb_face_destroy(face);
            hb_blob_destroy(blob);
        }
    }
    auto* raw = handle.get();
    m_fonts.emplace(postscriptName, std::move(handle));
    return raw;
}

void TextShaper::rememberLocked(const std::string& key, std::shared_ptr<const ShapedText> shaped) {
    if (m_cache.count(key)) return;
    m_recent.push_front(key);
    m_cache.emplace(key, Entry{std::move(shaped), m_recent.begin()});
    if (m_cache.size() > cacheCapacity) {
        m_cache.erase(m_recent.back());
        m_recent.pop_back();
    }
}

std::shared_ptr<const ShapedText> TextShaper::shape(const std::string& postscriptName, ShapingFeatures features,
                                                    std::string_view utf8, TextDirection direction) {
    std::string key = postscriptName;
    key += '\0';
    key += static_cast<char>('0' + static_cast<unsigned>(features));
    key += direction == TextDirection::rightToLeft ? 'r' : 'l';
    key.append(utf8);

    hb_font_t* font = nullptr;
    double unitsPerEm = 1000;
    {
        std::lock_guard lock(m_mutex);
        if (auto it = m_cache.find(key); it != m_cache.end()) {
            m_recent.splice(m_recent.begin(), m_recent, it->second.position);
            return it->second.shaped;
        }
        auto* handle = fontLocked(postscriptName);
        if (!handle->font) return nullptr;
        font = handle->font;  // immutable and never destroyed before the shaper: safe unlocked
        unitsPerEm = handle->unitsPerEm;
    }

    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, utf8.data(), static_cast<int>(utf8.size()), 0, static_cast<int>(utf8.size()));
    hb_buffer_guess_segment_properties(buffer);
    hb_buffer_set_direction(buffer, direction == TextDirection::rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_feature_t tabular{HB_TAG('t', 'n', 'u', 'm'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END};
    const bool wantsTabular = (static_cast<unsigned>(features) & static_cast<unsigned>(ShapingFeatures::tabularDigits));
    hb_shape(font, buffer, wantsTabular ? &tabular : nullptr, wantsTabular ? 1 : 0);

    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    auto shaped = std::make_shared<ShapedText>();
    shaped->unitsPerEm = unitsPerEm;
    shaped->glyphs.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        shaped->glyphs.push_back({infos[i].codepoint, infos[i].cluster, static_cast<double>(positions[i].x_advance),
                                  static_cast<double>(positions[i].x_offset),
                                  static_cast<double>(positions[i].y_offset)});
        shaped->advance += positions[i].x_advance;
    }
    hb_buffer_destroy(buffer);

    std::lock_guard lock(m_mutex);
    rememberLocked(key, shaped);
    return shaped;
}

bool TextShaper::hasGlyph(const std::string& postscriptName, std::uint32_t codepoint) {
    hb_font_t* font = nullptr;
    {
        std::lock_guard lock(m_mutex);
        font = fontLocked(postscriptName)->font;
    }
    hb_codepoint_t glyph = 0;
    return font && hb_font_get_nominal_glyph(font, codepoint, &glyph);
}

bool TextShaper::isColourFont(const std::string& postscriptName) {
    std::lock_guard lock(m_mutex);
    return fontLocked(postscriptName)->colour;
}

namespace {

// Regular sans faces ("DejaVuSans") stand in best for Inter: no style suffix, no serifs, not
// monospaced.
bool plainSans(const std::string& name) {
    return name.find("Sans") != std::string::npos && name.find('-') == std::string::npos &&
           name.find("Mono") == std::string::npos && name.find("Serif") == std::string::npos;
}

}  // namespace

std::optional<std::string> TextShaper::fallbackFont(std::uint32_t codepoint, int weightClass) {
    const std::uint64_t key = (std::uint64_t{codepoint} << 16) | static_cast<std::uint16_t>(weightClass);
    {
        std::lock_guard lock(m_mutex);
        if (auto it = m_fallbacks.find(key); it != m_fallbacks.end()) return it->second;
    }
    // The system's font configuration knows which font suits a script best (a Japanese sans for
    // kanji, the colour emoji font for emoji) and in which weight; the installed fonts are searched
    // by name only when it has none.
    auto found = FontFallback::find(codepoint, weightClass);
    if (found) {
        FontLibrary::shared().addFont(found->postscriptName, found->file);
        std::lock_guard lock(m_mutex);
        hb_codepoint_t glyph = 0;
        const auto* handle = fontLocked(found->postscriptName);
        // The configuration's font must shape the character here too.
        if (!handle->font || !hb_font_get_nominal_glyph(handle->font, codepoint, &glyph)) found.reset();
    }
    std::optional<std::string> name = found ? std::optional(found->postscriptName) : std::nullopt;
    std::unique_lock lock(m_mutex);
    if (!name) {
        if (!m_fallbackOrder) {
            lock.unlock();
            auto names = FontLibrary::shared().installedFontNames();
            std::stable_partition(names.begin(), names.end(), plainSans);
            lock.lock();
            m_fallbackOrder = std::move(names);
        }
        for (const auto& candidate : *m_fallbackOrder) {
            hb_codepoint_t glyph = 0;
            const auto* handle = fontLocked(candidate);
            if (handle->font && hb_font_get_nominal_glyph(handle->font, codepoint, &glyph)) {
                name = candidate;
                break;
            }
        }
    }
    m_fallbacks.emplace(key, name);
    return name;
}

size_t TextShaper::cachedRuns() {
    std::lock_guard lock(m_mutex);
    return m_cache.size();
}

void TextShaper::clearCache() {
    std::lock_guard lock(m_mutex);
    m_cache.clear();
    m_recent.clear();
}

}  // namespace ui
