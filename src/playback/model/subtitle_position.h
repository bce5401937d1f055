#pragma once

namespace reelhaven {

// Where subtitles sit: at mpv's position, or lifted above the control bar while it shows.
enum class SubtitlePosition { normal, raised };

}  // namespace reelhaven
