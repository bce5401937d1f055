#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace reelhaven {

// The sections of the options popover, in order; the raw value is the header title.
enum class OptionsSection { playback, video, interface, subtitles, audio };

inline constexpr std::array<OptionsSection, 5> kAllOptionsSections{OptionsSection::playback, OptionsSection::video,
                                                                   OptionsSection::interface, OptionsSection::subtitles,
                                                                   OptionsSection::audio};

constexpr std::string_view rawValue(OptionsSection section) {
    switch (section) {
        case OptionsSection::playback: return "Playback";
        case OptionsSection::video: return "Video";
        case OptionsSection::interface: return "Interface";
        case OptionsSection::subtitles: return "Subtitles";
        case OptionsSection::audio: return "Audio";
    }
    return "";
}

// The rows of the options popover; the raw value is the row's title and finds its kind.
enum class OptionsRowKind {
    speed,
    continuousPlayback,
    fileLoop,
    highQualityVideo,
    deinterlacing,
    skipInterval,
    preferLandscape,
    subtitleScale,
    subtitlePosition,
    subtitlePositionAuto,
    subtitleSetPosition,
    subtitleDelay,
    subtitleAppearance,
    subtitleFont,
    subtitleBorderSize,
    subtitleShadow,
    subtitleReset,
    volume,
};

constexpr std::string_view rawValue(OptionsRowKind kind) {
    switch (kind) {
        case OptionsRowKind::speed: return "Speed";
        case OptionsRowKind::continuousPlayback: return "Continuous Playback";
        case OptionsRowKind::fileLoop: return "File Loop";
        case OptionsRowKind::highQualityVideo: return "High Quality Video";
        case OptionsRowKind::deinterlacing: return "Deinterlacing";
        case OptionsRowKind::skipInterval: return "Skip Interval";
        case OptionsRowKind::preferLandscape: return "Prefer Landscape";
        case OptionsRowKind::subtitleScale: return "Size";
        case OptionsRowKind::subtitlePosition: return "Position";
        case OptionsRowKind::subtitlePositionAuto: return "Auto-Adjust";
        case OptionsRowKind::subtitleSetPosition: return "Manual";
        case OptionsRowKind::subtitleDelay: return "Delay";
        case OptionsRowKind::subtitleAppearance: return "Appearance";
        case OptionsRowKind::subtitleFont: return "Font";
        case OptionsRowKind::subtitleBorderSize: return "Border Size";
        case OptionsRowKind::subtitleShadow: return "Shadow";
        case OptionsRowKind::subtitleReset: return "";
        case OptionsRowKind::volume: return "Volume";
    }
    return "";
}

// The kind whose title is exactly `title`, or none.
constexpr std::optional<OptionsRowKind> optionsRowKind(std::string_view title) {
    for (int kind = 0; kind <= static_cast<int>(OptionsRowKind::volume); ++kind) {
        if (rawValue(static_cast<OptionsRowKind>(kind)) == title) return static_cast<OptionsRowKind>(kind);
    }
    return std::nullopt;
}

}  // namespace reelhaven
