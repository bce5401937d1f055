#include "core/ffmpeg_picture_bound.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
}

namespace reelhaven {

namespace {

int boundedBuffer(AVCodecContext* codec, AVFrame* frame, int flags) {
    const auto format = static_cast<AVPixelFormat>(frame->format);
    if (!FFmpegPictureBound::fits(frame->width, frame->height, format)) {
        *static_cast<bool*>(codec->opaque) = true;
        return AVERROR(ENOMEM);
    }
    return avcodec_default_get_buffer2(codec, frame, flags);
}

}  // namespace

bool FFmpegPictureBound::fits(int width, int height, AVPixelFormat format) {
    if (width <= 0 || height <= 0) return true;
    if (format == AV_PIX_FMT_NONE) return static_cast<std::int64_t>(width) * height <= kMostBytes / kWidestPixelBytes;
    // Sizes FFmpeg cannot hold at all give an error here.
    const int bytes = av_image_get_buffer_size(format, width, height, 1);
    return bytes >= 0 && bytes <= kMostBytes;
}

int FFmpegPictureBound::findStreamInfo(AVFormatContext& format) {
    struct Size {
        int width = 0;
        int height = 0;
    };
    const unsigned streams = format.nb_streams;
    std::vector<AVDictionary*> options(streams, nullptr);
    std::vector<Size> headerSizes(streams);
    for (unsigned i = 0; i < streams; ++i) {
        const AVCodecParameters& parameters = *format.streams[i]->codecpar;
        if (parameters.codec_type != AVMEDIA_TYPE_VIDEO) continue;
        if (fits(parameters.width, parameters.height, static_cast<AVPixelFormat>(parameters.format))) continue;
        headerSizes[i] = {parameters.width, parameters.height};
        // The probe's decoders cannot be asked before they allocate a picture, only told how many
        // pixels they may take.
        av_dict_set_int(&options[i], "max_pixels", kMostBytes / kWidestPixelBytes, 0);
    }
    const int result = avformat_find_stream_info(&format, options.data());
    for (unsigned i = 0; i < streams; ++i) {
        av_dict_free(&options[i]);
        AVCodecParameters& parameters = *format.streams[i]->codecpar;
        // A decoder that refused the picture's size forgets it.
        if (headerSizes[i].width > 0 && (parameters.width <= 0 || parameters.height <= 0)) {
            parameters.width = headerSizes[i].width;
            parameters.height = headerSizes[i].height;
        }
    }
    return result;
}

void FFmpegPictureBound::guard(AVCodecContext& codec, bool& refused) {
    codec.opaque = &refused;
    codec.get_buffer2 = boundedBuffer;
}

}  // namespace reelhaven
