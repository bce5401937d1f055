#include "platform/ui/text/font_fallback.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>

namespace ui {

namespace {
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
struct CharSetDeleter {
    void operator()(FcCharSet* set) const { FcCharSetDestroy(set); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;
}  // namespace

std::optional<FontFallback::Found> FontFallback::find(std::uint32_t codepoint, int weightClass) {
    // One caller at a time: the default configuration is loaded on first use.
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    if (!FcInit()) return std::nullopt;
    std::unique_ptr<FcCharSet, CharSetDeleter> characters(FcCharSetCreate());
    FcCharSetAddChar(characters.get(), codepoint);
    Pattern pattern(FcPatternCreate());
    // Sans faces suit Inter best where the script has them.
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, characters.get());
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weightClass));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!fonts) return std::nullopt;
    // The sort puts the families asked for first, whatever they cover: the first that has the
    // character wins.
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcCharSet* covered = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &covered) != FcResultMatch || !covered ||
            !FcCharSetHasChar(covered, codepoint))
            continue;
        FcChar8* file = nullptr;
        FcChar8* name = nullptr;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
        if (FcPatternGetString(font, FC_POSTSCRIPT_NAME, 0, &name) != FcResultMatch || !name) continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        return Found{reinterpret_cast<const char*>(name), {reinterpret_cast<const char*>(file), index}};
    }
    return std::nullopt;
}

}  // namespace ui
