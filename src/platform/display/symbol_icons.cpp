#include "platform/display/symbol_icons.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/display/symbol_glyphs.h"
#include "platform/graphics/png_codec.h"

namespace display {

namespace {
// Symbol names the screens use, by prefix where a family shares one picture ("gobackward.15").
struct Mapping {
    const char* symbol;
    const char* icon;
    bool prefix;
};
constexpr std::array kMappings{
    Mapping{"play.rectangle", "emblem-videos-symbolic", true},
    Mapping{"play.fill", "media-playback-start-symbolic", false},
    Mapping{"play", "media-playback-start-symbolic", false},
    Mapping{"pause.fill", "media-playback-pause-symbolic", false},
    Mapping{"pause", "media-playback-pause-symbolic", false},
    Mapping{"stop.fill", "media-playback-stop-symbolic", false},
    Mapping{"xmark", "window-close-symbolic", true},
    Mapping{"captions.bubble", "media-view-subtitles-symbolic", true},
    Mapping{"text.bubble", "media-view-subtitles-symbolic", true},
    Mapping{"ellipsis", "view-more-horizontal-symbolic", true},
    Mapping{"chevron.right", "go-next-symbolic", false},
    Mapping{"chevron.left", "go-previous-symbolic", false},
    Mapping{"chevron.down", "go-down-symbolic", false},
    Mapping{"chevron.up", "go-up-symbolic", false},
    Mapping{"arrow.down.doc", "folder-download-symbolic", true},
    Mapping{"arrow.left", "go-previous-symbolic", false},
    Mapping{"arrow.right", "go-next-symbolic", false},
    Mapping{"arrow.counterclockwise", "edit-undo-symbolic", false},
    Mapping{"arrowshape.bounce.right", "media-playlist-consecutive-symbolic", false},
    Mapping{"repeat", "media-playlist-repeat-symbolic", true},
    Mapping{"speedometer", "power-profile-performance-symbolic", false},
    Mapping{"stopwatch", "alarm-symbolic", true},
    Mapping{"sparkles", "star-new-symbolic", false},
    Mapping{"rectangle.stack", "edit-copy-symbolic", true},
    Mapping{"wifi.slash", "network-wireless-disabled-symbolic", false},
    Mapping{"gobackward", "media-seek-backward-symbolic", true},
    Mapping{"goforward", "media-seek-forward-symbolic", true},
    Mapping{"backward", "media-skip-backward-symbolic", true},
    Mapping{"forward", "media-skip-forward-symbolic", true},
    Mapping{"film", "video-x-generic-symbolic", true},
    Mapping{"list.and.film", "view-list-symbolic", false},
    Mapping{"list", "view-list-symbolic", true},
    Mapping{"photo", "image-x-generic-symbolic", true},
    Mapping{"text.below.photo", "image-x-generic-symbolic", false},
    Mapping{"camera", "camera-photo-symbolic", true},
    Mapping{"checkmark", "object-select-symbolic", true},
    Mapping{"folder.badge.plus", "folder-new-symbolic", false},
    Mapping{"folder", "folder-symbolic", true},
    Mapping{"speaker.slash", "audio-volume-muted-symbolic", true},
    Mapping{"speaker.1", "audio-volume-low-symbolic", false},
    Mapping{"speaker.2", "audio-volume-medium-symbolic", false},
    Mapping{"speaker", "audio-volume-high-symbolic", true},
    Mapping{"switch.2", "emblem-system-symbolic", false},
    Mapping{"slider", "emblem-system-symbolic", true},
    Mapping{"gear", "emblem-system-symbolic", true},
    Mapping{"textformat", "preferences-desktop-font-symbolic", true},
    Mapping{"text.cursor", "insert-text-symbolic", false},
    Mapping{"bookmark", "user-bookmarks-symbolic", true},
    Mapping{"dock.arrow.up.rectangle", "video-display-symbolic", false},
    Mapping{"tv", "video-display-symbolic", true},
    Mapping{"pip", "view-restore-symbolic", true},
    Mapping{"wifi", "network-wireless-symbolic", true},
    Mapping{"square.and.arrow.down", "document-save-symbolic", true},
    Mapping{"square.and.arrow.up", "send-to-symbolic", true},
    Mapping{"trash", "user-trash-symbolic", true},
    Mapping{"plus", "list-add-symbolic", true},
    Mapping{"minus", "list-remove-symbolic", true},
    Mapping{"magnifyingglass", "system-search-symbolic", true},
    Mapping{"link", "insert-link-symbolic", true},
    Mapping{"globe", "web-browser-symbolic", true},
    Mapping{"doc", "text-x-generic-symbolic", true},
    Mapping{"pencil", "document-edit-symbolic", true},
    Mapping{"info", "dialog-information-symbolic", true},
    Mapping{"exclamationmark", "dialog-warning-symbolic", true},
    Mapping{"aspectratio", "view-fullscreen-symbolic", true},
    Mapping{"arrow.up.left.and.arrow.down.right", "view-fullscreen-symbolic", true},
    Mapping{"rectangle", "view-fullscreen-symbolic", true},
};
constexpr std::array kSizes{16, 24, 32, 48, 64, 96};
constexpr std::array kCategories{"actions", "status",     "devices", "mimetypes", "places",
                                 "apps",    "categories", "emblems", "legacy",    "ui"};
}  // namespace

SymbolIcons::SymbolIcons(std::string themeFolder) : m_themeFolder(std::move(themeFolder)) {}

SymbolIcons& SymbolIcons::shared() {
    static SymbolIcons icons;
    return icons;
}

std::optional<std::string> SymbolIcons::iconName(const std::string& symbol) {
    for (const auto& mapping : kMappings) {
        const std::string name = mapping.symbol;
        if (symbol == name || (mapping.prefix && symbol.rfind(name + ".", 0) == 0)) return std::string(mapping.icon);
    }
    return std::nullopt;
}

std::optional<std::string> SymbolIcons::findFile(const std::string& icon, int pixels) const {
    auto lookIn = [&](int size) -> std::optional<std::string> {
        for (const char* category : kCategories) {
            std::filesystem::path file = std::filesystem::path(m_themeFolder) /
                                         (std::to_string(size) + "x" + std::to_string(size)) / category /
                                         (icon + ".symbolic.png");
            std::error_code error;
            if (std::filesystem::is_regular_file(file, error)) return file.string();
        }
        return std::nullopt;
    };
    for (int size : kSizes) {
        if (size < pixels) continue;
        if (auto file = lookIn(size)) return file;
    }
    for (auto it = kSizes.rbegin(); it != kSizes.rend(); ++it) {
        if (auto file = lookIn(*it)) return file;
    }
    return std::nullopt;
}

cairo_surface_t* SymbolIcons::surface(const std::string& symbol, int pixels) {
    std::lock_guard lock(m_mutex);
    // A symbol drawn by our own paths is kept under its own name, apart from the theme's icons.
    auto drawnKey = std::make_pair("symbol:" + symbol, pixels);
    if (auto found = m_loaded.find(drawnKey); found != m_loaded.end()) return found->second.get();
    if (auto drawn = drawSymbolGlyph(symbol, pixels))
        return m_loaded.emplace(drawnKey, std::move(drawn)).first->second.get();
    auto icon = iconName(symbol);
    if (!icon) return nullptr;
    auto key = std::make_pair(*icon, pixels);
    if (auto found = m_loaded.find(key); found != m_loaded.end()) return found->second.get();
    SurfacePtr loaded;
    if (auto file = findFile(*icon, pixels)) {
        std::ifstream in(*file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        auto decoded = gfx::PngCodec::decode(bytes.str());
        if (decoded) loaded = surfaceFromImage(*decoded);
    }
    return m_loaded.emplace(key, std::move(loaded)).first->second.get();
}

}  // namespace display
