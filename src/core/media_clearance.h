#pragma once

namespace reelhaven {

// What a helper process found when it read a file as the player's demuxer would.
enum class MediaClearance {
    // FFmpeg opened and probed it within the helper's memory and time limits.
    cleared,
    // Reading it hit a limit, or the helper died on it: the app never opens it.
    refused,
    // Not a regular file, or no helper could read it: not opened either.
    unreadable,
};

// Reads the file open at `descriptor` in a helper process under the helpers' limits and blocks the
// calling thread until it answers, so never call it on the main thread. The descriptor stays open
// and is the caller's; what was cleared is that open file, whatever its name leads to meanwhile.
MediaClearance clearMediaDescriptor(int descriptor);

}  // namespace reelhaven
