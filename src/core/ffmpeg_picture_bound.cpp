#include "core/ffmpeg_picture_bound.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace reelhaven {

namespace {

// How much of a stream the probe reads when it decodes no picture of it.
constexpr int kProbedSeconds = 2;

// Decoders code pictures in blocks of up to 64 pixels: a 1080-line picture is 1088 lines to them.
constexpr int kBlock = 64;

int roundedUp(int value) { return (value + kBlock - 1) / kBlock * kBlock; }

std::int64_t bytesOf(AVPixelFormat format, int width, int height) {
    return av_image_get_buffer_size(format, width, height, 1);
}

// A buffer the decoder asked for, owned by the guard's wrapper until the last frame lets go of it.
struct HeldBuffer {
    std::atomic<std::int64_t>* held;
    AVBufferRef* inner;
    std::int64_t bytes;
};

// A decoder that may keep every coefficient of the whole picture it reads (a progressive JPEG
// keeps two bytes a sample until the last scan), even when it gives the picture reduced: the
// intra-only decoders that can reduce (JPEG, JPEG 2000), and Motion JPEG with its inter frames.
bool keepsCoefficients(const AVCodec& decoder) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(decoder.id);
    const bool intraOnly = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
    return decoder.max_lowres > 0 && (intraOnly || decoder.id == AV_CODEC_ID_MXPEG);
}
// Such a decoder's bytes for each byte of 8-bit picture: the picture and two of coefficients.
constexpr int kCoefficientsAndPicture = 3;

int sampleBytes(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && descriptor->comp[0].depth > 8 ? 2 : 1;
}

double bytesPerPixel(AVPixelFormat format) {
    constexpr int kSide = 64;
    const std::int64_t bytes = format == AV_PIX_FMT_NONE ? -1 : bytesOf(format, kSide, kSide);
    return bytes < 0 ? 0 : static_cast<double>(bytes) / (kSide * kSide);
}
// 10-bit 4:2:0 as a decoder stores it: two bytes a sample, a sample and a half a pixel.
constexpr double kOwnPictureLeastPixelBytes = 3;

bool hasVideoStream(const AVFormatContext& format) {
    for (unsigned i = 0; i < format.nb_streams; ++i)
        if (format.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) return true;
    return false;
}

// Streams that appear only once their packets are read (MPEG program streams) would be probed
// without the options set for the streams known beforehand: they are found first, by reading up
// to the first video packet, and the file is then read again from where its data starts.
void discoverStreams(AVFormatContext& format) {
    constexpr int kMostPackets = 1000;
    if (!(format.ctx_flags & AVFMTCTX_NOHEADER) || hasVideoStream(format) || !format.pb ||
        (format.iformat->flags & AVFMT_NO_BYTE_SEEK))
        return;
    const std::int64_t dataStart = avio_tell(format.pb);
    AVPacket* packet = av_packet_alloc();
    if (!packet) return;
    for (int read = 0; read < kMostPackets && av_read_frame(&format, packet) >= 0; ++read) {
        const bool video = format.streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        av_packet_unref(packet);
        if (video) break;
    }
    av_packet_free(&packet);
    av_seek_frame(&format, -1, dataStart, AVSEEK_FLAG_BYTE);
}

// A thumbnail and a duration need the first video stream and the first audio one; the others
// are neither probed nor read. A file of hundreds of streams would otherwise have the packets of
// each kept by the probe (500 streams of a 173 MB file took 591 MB).
void readOnlyNeededStreams(AVFormatContext& format) {
    bool video = false;
    bool audio = false;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVMediaType type = format.streams[i]->codecpar->codec_type;
        bool& taken = type == AVMEDIA_TYPE_VIDEO ? video : audio;
        if ((type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) && !taken) {
            taken = true;
            continue;
        }
        format.streams[i]->discard = AVDISCARD_ALL;
    }
}

}  // namespace

bool FFmpegPictureBound::fits(int width, int height, AVPixelFormat format) {
    if (width <= 0 || height <= 0) return true;
    if (format == AV_PIX_FMT_NONE) return static_cast<std::int64_t>(width) * height <= kMostBytes / kWidestPixelBytes;
    // Sizes FFmpeg cannot hold at all give an error here.
    const std::int64_t bytes = bytesOf(format, width, height);
    return bytes >= 0 && bytes <= kMostBytes;
}

int FFmpegPictureBound::findStreamInfo(AVFormatContext& format) {
    discoverStreams(format);
    readOnlyNeededStreams(format);
    struct Size {
        int width = 0;
        int height = 0;
    };
    const unsigned streams = format.nb_streams;
    std::vector<AVDictionary*> options(streams, nullptr);
    std::vector<Size> headerSizes(streams);
    for (unsigned i = 0; i < streams; ++i) {
        const AVCodecParameters& parameters = *format.streams[i]->codecpar;
        // Nor is a decoder opened for a stream not read (its context alone takes up to a megabyte):
        // no decoder is named "none".
        if (format.streams[i]->discard == AVDISCARD_ALL) av_dict_set(&options[i], "codec_whitelist", "none", 0);
        if (parameters.codec_type != AVMEDIA_TYPE_VIDEO) continue;
        headerSizes[i] = {parameters.width, parameters.height};
        av_dict_set(&options[i], "skip_frame", "all", 0);
        // Decoders that decode whatever they are told (libdav1d, VP9, ProRes) are refused every
        // picture: they do not even open, and the probe decodes no picture of any codec.
        av_dict_set_int(&options[i], "max_pixels", 1, 0);
    }
    // With no picture decoded a video stream never counts as known, so the probe reads on to its
    // time limit (7 s of a transport stream, every packet kept to be read again); two seconds give
    // the frame rate and the other streams what the decoded pictures gave before.
    if (format.max_analyze_duration == 0) format.max_analyze_duration = kProbedSeconds * AV_TIME_BASE;
    const int result = avformat_find_stream_info(&format, options.data());
    for (unsigned i = 0; i < streams; ++i) {
        av_dict_free(&options[i]);
        AVCodecParameters& parameters = *format.streams[i]->codecpar;
        if (headerSizes[i].width > 0 && (parameters.width <= 0 || parameters.height <= 0)) {
            parameters.width = headerSizes[i].width;
            parameters.height = headerSizes[i].height;
        }
    }
    return result;
}

void FFmpegDecoderGuard::install(AVCodecContext& codec, const AVCodec& decoder) {
    codec.opaque = this;
    codec.get_buffer2 = getBuffer;
    codec.thread_count = 1;
    m_keepsCoefficients = keepsCoefficients(decoder);
    // Checked when the decoder learns a picture's size, before it sizes anything for it: more
    // pixels than this would not fit even at video's smallest pixel (8-bit 4:2:0, 12 bits).
    std::int64_t most = FFmpegPictureBound::kMostBytes * 8 / 12;
    if (m_keepsCoefficients) most = FFmpegPictureBound::kMostBytes / kCoefficientsAndPicture * 8 / 12;
    if (!(decoder.capabilities & AV_CODEC_CAP_DR1)) {
        // Its pictures never come here to be counted: they are bounded by their size alone, at
        // least as wide as 10-bit 4:2:0 (a later header may widen what the first one stated).
        const double pixelBytes = std::max(kOwnPictureLeastPixelBytes, bytesPerPixel(codec.pix_fmt));
        most = static_cast<std::int64_t>(static_cast<double>(FFmpegPictureBound::kMostOwnPictureBytes) / pixelBytes);
    }
    codec.max_pixels = most;
}

void FFmpegDecoderGuard::allow(int width, int height) {
    m_width = width;
    m_height = height;
    m_refused.reset();
}

bool FFmpegDecoderGuard::exceedsAllowedSize(const Picture& picture) const {
    return m_width > 0 && m_height > 0 && (picture.width > roundedUp(m_width) || picture.height > roundedUp(m_height));
}

bool FFmpegDecoderGuard::fitsAlone(const Picture& picture) const {
    if (!FFmpegPictureBound::fits(picture.width, picture.height, picture.format)) return false;
    const int width = std::max(picture.width, picture.codedWidth);
    const int height = std::max(picture.height, picture.codedHeight);
    if (picture.format == AV_PIX_FMT_NONE || width <= 0 || height <= 0) return true;
    const std::int64_t coded = bytesOf(picture.format, width, height);
    if (coded < 0) return false;
    // Two bytes a sample of coefficients: as many bytes as the picture at 16 bits, twice at 8.
    const std::int64_t coefficients = m_keepsCoefficients ? coded * (sampleBytes(picture.format) == 1 ? 2 : 1) : 0;
    return coded <= FFmpegPictureBound::kMostBytes - coefficients;
}

std::int64_t FFmpegDecoderGuard::pixelsRead(const Picture& picture) const {
    if (!m_keepsCoefficients) return static_cast<std::int64_t>(picture.width) * picture.height;
    return static_cast<std::int64_t>(std::max(picture.width, picture.codedWidth)) *
           std::max(picture.height, picture.codedHeight);
}

bool FFmpegDecoderGuard::admit(const Picture& picture) const {
    if (!fitsAlone(picture) || exceedsAllowedSize(picture)) return false;
    const std::int64_t bytes = bytesOf(picture.format, picture.width, picture.height);
    if (bytes < 0) return false;
    std::int64_t allowance = FFmpegPictureBound::kMostBytes;
    if (m_width > 0 && m_height > 0) {
        const std::int64_t allowed = bytesOf(picture.format, roundedUp(m_width), roundedUp(m_height));
        if (allowed >= 0) allowance = std::min(allowance, FFmpegPictureBound::kMostPictures * allowed);
    }
    return m_held.load() + bytes <= allowance;
}

int FFmpegDecoderGuard::getBuffer(AVCodecContext* codec, AVFrame* frame, int flags) {
    auto& guard = *static_cast<FFmpegDecoderGuard*>(codec->opaque);
    const Picture picture{frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), codec->coded_width,
                          codec->coded_height};
    if (!guard.admit(picture)) {
        if (!guard.m_refused) guard.m_refused = picture;
        return AVERROR(ENOMEM);
    }
    const int result = avcodec_default_get_buffer2(codec, frame, flags);
    if (result < 0) return result;
    return guard.track(*frame);
}

// Each buffer of the frame is wrapped in one that counts its bytes until it is let go of, by the
// decoder or by whoever holds the frame last.
int FFmpegDecoderGuard::track(AVFrame& frame) {
    auto wrap = [this](AVBufferRef*& buffer) {
        if (!buffer) return true;
        auto* held = new HeldBuffer{&m_held, buffer, static_cast<std::int64_t>(buffer->size)};
        AVBufferRef* outer = av_buffer_create(buffer->data, buffer->size, release, held, 0);
        if (!outer) {
            delete held;
            return false;
        }
        buffer = outer;
        const std::int64_t now = m_held.fetch_add(held->bytes) + held->bytes;
        std::int64_t peak = m_peak.load();
        while (now > peak && !m_peak.compare_exchange_weak(peak, now)) {
        }
        return true;
    };
    bool wrapped = true;
    for (AVBufferRef*& buffer : frame.buf) wrapped = wrap(buffer) && wrapped;
    for (int i = 0; i < frame.nb_extended_buf; ++i) wrapped = wrap(frame.extended_buf[i]) && wrapped;
    if (wrapped) return 0;
    av_frame_unref(&frame);
    return AVERROR(ENOMEM);
}

void FFmpegDecoderGuard::release(void* opaque, std::uint8_t*) {
    auto* held = static_cast<HeldBuffer*>(opaque);
    held->held->fetch_sub(held->bytes);
    av_buffer_unref(&held->inner);
    delete held;
}

}  // namespace reelhaven
