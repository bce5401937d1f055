#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;

namespace reelhaven {

// Keeps what a thumbnail or a duration read decodes within a bound of memory. A file of a few
// megabytes can hold a still picture that unpacks to gigabytes (a compressed picture of one
// colour), or a stream that keeps sixteen huge reference pictures; such a file gets no thumbnail
// instead of the memory. No state; any thread.
class FFmpegPictureBound {
public:
    FFmpegPictureBound() = delete;

    // The most the pictures of one decoder may take together. A thumbnail job holds them, the
    // decoder's state around them and the thumbnail: with this it stays within about 256 MB.
    static constexpr std::int64_t kMostBytes = std::int64_t{192} << 20;
    // The widest pixel a decoder gives (16 bits for each of four channels): a picture of a format
    // still unknown is measured at it.
    static constexpr int kWidestPixelBytes = 8;
    // What a decoder may hold at once: sixteen reference pictures and the one it decodes.
    static constexpr int kMostPictures = 17;
    // The largest picture a decoder that allocates its own pictures (libdav1d) may make. Such
    // pictures are out of the guard's sight; ten of them (eight references, the one decoded and
    // the one given) and the rest of a listing stay within 400 MB.
    static constexpr std::int64_t kMostOwnPictureBytes = std::int64_t{32} << 20;

    // Whether a picture of `width` x `height` in `format` fits. A size still unknown fits: the
    // decoder's own check decides once it is known.
    static bool fits(int width, int height, AVPixelFormat format);

    // avformat_find_stream_info without decoding any video picture: the header, the parsers and
    // the packets' time stamps give the length, the frame rate and the first time stamp, and
    // learning a picture's size or format is left to the one decoder that is bounded (the probe's
    // decoders cannot be: a stream whose header gives no size or a false one, or that keeps many
    // references, took gigabytes there). A size the header gave and the probe lost is kept.
    static int findStreamInfo(AVFormatContext& format);
};

// Counts the memory of every picture one decoder holds (references, pictures waiting to be
// shown, the frames it gave) and refuses a picture before it takes its memory when it is larger
// than the size allowed, does not fit FFmpegPictureBound on its own, or would take the decoder's
// pictures together beyond what that many of the allowed size take. The refused picture's size
// is kept, so the caller may decode again under a bound for it. Install before opening the
// decoder; the guard must outlive the decoder and every frame it gave.
class FFmpegDecoderGuard {
public:
    struct Picture {
        int width = 0;
        int height = 0;
        AVPixelFormat format = AV_PIX_FMT_NONE;
        // The picture as coded, before a decoder that reduces it (lowres) does: what it reads.
        int codedWidth = 0;
        int codedHeight = 0;
    };

    FFmpegDecoderGuard() = default;
    FFmpegDecoderGuard(const FFmpegDecoderGuard&) = delete;
    FFmpegDecoderGuard& operator=(const FFmpegDecoderGuard&) = delete;

    // Takes over the decoder's picture memory and decodes on one thread: frame threads would each
    // hold pictures of their own. Sets the largest picture `decoder` may learn of before it
    // allocates anything for it (its tables, its coefficients, its own pictures).
    void install(AVCodecContext& codec, const AVCodec& decoder);
    // Pictures of at most `width` x `height` (rounded up to whole 64-pixel blocks, as decoders
    // code them) may be decoded from now on; forgets an earlier refusal.
    void allow(int width, int height);

    // The first picture refused since `allow`.
    std::optional<Picture> refused() const { return m_refused; }
    // Whether `picture` is larger than the size allowed (and not merely one picture too many).
    bool exceedsAllowedSize(const Picture& picture) const;
    // Whether `picture` may be decoded at all, alone: the picture and what the decoder keeps of
    // it as coded fit FFmpegPictureBound.
    bool fitsAlone(const Picture& picture) const;
    // The pixels a decode of `picture` holds memory for: those it gives, or, for a decoder that
    // keeps the coefficients of the whole coded picture, the coded picture's.
    std::int64_t pixelsRead(const Picture& picture) const;
    // Bytes the decoder's pictures hold now, and the most they held at once.
    std::int64_t heldBytes() const { return m_held.load(); }
    std::int64_t peakBytes() const { return m_peak.load(); }

private:
    static int getBuffer(AVCodecContext* codec, AVFrame* frame, int flags);
    static void release(void* opaque, std::uint8_t* data);
    bool admit(const Picture& picture) const;
    int track(AVFrame& frame);

    // Whether the decoder may keep every coefficient of the whole coded picture beside it.
    bool m_keepsCoefficients = false;
    int m_width = 0;
    int m_height = 0;
    std::optional<Picture> m_refused;
    std::atomic<std::int64_t> m_held{0};
    std::atomic<std::int64_t> m_peak{0};
};

}  // namespace reelhaven
