#pragma once

#include <memory>
#include <string>

#include "core/decode_pixel_budget.h"

namespace gfx {
class Image;
}

namespace reelhaven {

// Reads what the library grid shows of a video without the playback engine: one picture a quarter
// of the way in, 640 pixels wide and turned upright, and the duration. No state; every call opens
// its own FFmpeg contexts, so calls may run on several threads at once.
class FFmpegUtility {
public:
    FFmpegUtility() = delete;

    static constexpr int kThumbnailWidth = 640;

    // The first frame decoded from the key frame at or before 25 % of the duration, scaled to
    // 640 pixels wide (a picture more than twice as tall as that is drawn within 640 x 1280, between
    // black bars) and turned by the stream's display matrix; null on any failure (logged as
    // "FFmpeg error: <what>" where the failure is the file's). A picture too large to decode
    // within FFmpegPictureBound gives none ("Picture too large"), whatever its header says.
    static std::shared_ptr<gfx::Image> getThumbnailForFile(const std::string& path);

    // The thumbnail and the duration of one file, read from one opening of it: what the library
    // pass needs of a video it has no thumbnail of. Each is what its own call above gives.
    struct Metadata {
        std::shared_ptr<gfx::Image> thumbnail;
        double duration = -1;
    };
    // The picture is decoded under a lease of `budget` and, where the decoder can, at a reduced
    // size still at least 640 pixels wide.
    static Metadata getMetadataForFile(const std::string& path,
                                       DecodePixelBudget& budget = DecodePixelBudget::shared());
    // Turns an image by a display-matrix angle: 90 a quarter counter-clockwise, -90 a quarter
    // clockwise, -180 half a turn. Any other angle gives the image unchanged.
    static std::shared_ptr<gfx::Image> rotate(std::shared_ptr<gfx::Image> image, double angle);
    // Seconds, or -1 when the file cannot be opened or probed or claims a length beyond real
    // media. A duration still unknown after probing comes out as 0 or negative.
    static double getDurationForFile(const std::string& path);

    // The same reads of the file open at `descriptor`, which the demuxers are told is `name`:
    // what a media helper process does with the file the app handed it.
    static Metadata getMetadataForDescriptor(int descriptor, const std::string& name);
    static double getDurationForDescriptor(int descriptor, const std::string& name);

    enum class Probe {
        // Opened and all its streams probed.
        opened,
        // Refused unopened by a count of its tables.
        refused,
        // Not a file FFmpeg opens.
        unreadable,
    };
    // Opens the file open at `descriptor` as the player's demuxer would, under a library file's
    // limits, and probes every stream.
    static Probe probeDescriptor(int descriptor, const std::string& name);

private:
    static Metadata readMetadata(const std::string& path, const std::string& name, DecodePixelBudget& budget);
    static double readDuration(const std::string& path, const std::string& name);
};

}  // namespace reelhaven
