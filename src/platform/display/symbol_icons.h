#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/display/cairo_surface.h"

namespace display {

// The system symbols the screens ask for by name ("play.fill"), drawn from the symbolic icons of
// the Adwaita icon theme (adwaita-icon-theme, CC BY-SA 3.0 / LGPL 3): one-colour PNGs whose alpha
// is the shape, tinted when drawn. Each icon is loaded once per pixel size. Thread safe.
class SymbolIcons {
public:
    // Reads the theme under `themeFolder` (/usr/share/icons/Adwaita by default).
    explicit SymbolIcons(std::string themeFolder = "/usr/share/icons/Adwaita");
    static SymbolIcons& shared();

    // The icon name a symbol maps to, or none for a symbol without one.
    static std::optional<std::string> iconName(const std::string& symbol);
    // The icon's surface in the smallest size of at least `pixels` (else the largest), or null
    // when the theme has no file for it. The surface lives as long as this object.
    cairo_surface_t* surface(const std::string& symbol, int pixels);

private:
    std::optional<std::string> findFile(const std::string& icon, int pixels) const;

    std::string m_themeFolder;
    std::mutex m_mutex;
    std::map<std::pair<std::string, int>, SurfacePtr> m_loaded;  // (icon, size) -> surface or null
};

}  // namespace display
