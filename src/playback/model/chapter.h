#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "core/video_time.h"

namespace reelhaven {

// One chapter of the playing file, from mpv's chapter list.
struct Chapter {
    int index = 0;  // 0-based position in mpv's list
    std::string title;
    VideoTime startTime;

    bool operator==(const Chapter&) const = default;
};

struct ChapterHash {
    std::size_t operator()(const Chapter& chapter) const {
        std::size_t seed = std::hash<int>{}(chapter.index);
        auto mix = [&seed](std::size_t value) { seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); };
        mix(std::hash<std::string>{}(chapter.title));
        mix(VideoTimeHash{}(chapter.startTime));
        return seed;
    }
};

}  // namespace reelhaven
