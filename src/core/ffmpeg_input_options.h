#pragma once

#include <string>
#include <vector>

#include "core/media_limits.h"

namespace reelhaven {

// An AVOption of a format context, by name, as FFmpeg's option dictionaries take it.
struct FFmpegOption {
    std::string name;
    std::string value;
    bool operator==(const FFmpegOption&) const = default;
};

// The options that hold FFmpeg's reading of one input to `limits`: "protocol_whitelist" (every
// open of the input and of what its demuxer opens goes through it) and "format_whitelist" (the
// demuxers `limits.demuxers` allows, checked before the demuxer reads a byte of its header).
// Nothing for limits that allow everything. Any thread.
std::vector<FFmpegOption> ffmpegInputOptions(const MediaLimits& limits);

}  // namespace reelhaven
