#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVCodecContext;
struct AVFormatContext;

namespace reelhaven {

// Keeps each picture a thumbnail or a duration read decodes within a bound of memory. A file of a
// few megabytes can hold a still picture that unpacks to gigabytes (a compressed picture of one
// colour); such a picture gets no thumbnail instead of the memory. Pictures are measured before
// they are decoded: by the header's size and pixel format where both are known, else by the
// decoder when it asks for the picture's memory, when it knows both. No state; any thread.
class FFmpegPictureBound {
public:
    FFmpegPictureBound() = delete;

    // The most one decoded picture may take. A thumbnail job holds the picture, the decoder's
    // state around it and the thumbnail: with this it stays within about 256 MB.
    static constexpr std::int64_t kMostBytes = std::int64_t{192} << 20;
    // The widest pixel a decoder gives (16 bits for each of four channels): a picture of a format
    // still unknown is measured at it.
    static constexpr int kWidestPixelBytes = 8;

    // Whether a picture of `width` x `height` in `format` fits. A size still unknown fits: the
    // decoder's own check decides once it is known.
    static bool fits(int width, int height, AVPixelFormat format);

    // avformat_find_stream_info, except that a video stream whose header gives a size that may not
    // fit is decoded only for pictures that fit in any format; where its picture was too large for
    // that, the stream keeps its header's size and its pixel format stays unknown.
    static int findStreamInfo(AVFormatContext& format);

    // Makes `codec` refuse a picture that does not fit when it asks for the picture's memory, and
    // set `refused`. Call before opening the decoder; `refused` must outlive the decoding.
    static void guard(AVCodecContext& codec, bool& refused);
};

}  // namespace reelhaven
