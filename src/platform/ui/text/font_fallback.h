#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/text/font_library.h"

namespace ui {

// Asks the system's font configuration (fontconfig) for the font that best shows a character its
// own font lacks: a sans face of the script (Japanese, Chinese, Korean), the colour emoji font for
// emoji, near the weight asked for. Stateless and thread safe (calls are serialised).
class FontFallback {
public:
    struct Found {
        std::string postscriptName;
        FontLibrary::FontFile file;
    };

    // None when the configuration knows no font with the character (or none is installed).
    static std::optional<Found> find(std::uint32_t codepoint, int weightClass);
};

}  // namespace ui
