#include "core/ffmpeg_utility.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/log.h>
}

#include "core/ffmpeg_file_input.h"
#include "core/ffmpeg_frame_reader.h"
#include "core/ffmpeg_input_options.h"
#include "core/ffmpeg_picture_bound.h"
#include "core/ffmpeg_resources.h"
#include "core/media_limits.h"
#include "core/video_time.h"
#include "platform/base/log.h"
#include "platform/graphics/image.h"

namespace reelhaven {

namespace {

// Taller pictures than this come only from damaged or hostile files (a 1 x 4000 "video" would ask
// for gigabytes); they get no thumbnail.
constexpr int kTallestPicture = 16 * FFmpegUtility::kThumbnailWidth;
// A taller picture is drawn within this height, between black bars: a picture of tall pixels
// would otherwise make a thumbnail of megabytes for every copy of a file of a few hundred bytes.
constexpr int kTallestThumbnail = 2 * FFmpegUtility::kThumbnailWidth;
// The picture a stream whose header gives no size is first decoded under: the common largest.
constexpr int kUsualWidth = 1920;
constexpr int kUsualHeight = 1080;

std::shared_ptr<gfx::Image> fail(const char* message) {
    base::log(base::LogLevel::error, "FFmpeg", std::string("FFmpeg error: ") + message);
    return nullptr;
}

// The index entries of MP4 and QuickTime files that the library's jobs may have built at once,
// each file's counted from its tables before it is opened: eight files of a few million samples
// each, listed side by side, would otherwise take gigabytes. A file that does not fit waits for
// others to close. Never destroyed: jobs may still hold leases while the process exits.
DecodePixelBudget& indexEntryBudget() {
    static auto& budget = *new DecodePixelBudget(16'000'000);  // 640 MB
    return budget;
}

// An opened file: the lease of its index, the input it reads the file through and the format
// context, in that order, so each outlives what follows it.
struct OpenedInput {
    std::optional<DecodePixelBudget::Lease> index;
    std::unique_ptr<FFmpegFileInput> file;
    FormatPtr format;
    // A count refused the file unopened.
    bool refused = false;
};

// Opens what `path` leads to; the demuxers are told it is `name` (its extension may help them
// tell the format, and what a demuxer would open beside it is looked for there).
OpenedInput openInput(const std::string& path, const std::string& name) {
    // FFmpeg's own messages (a damaged stream's decoding errors, "moov atom not found") would go
    // to the terminal; a file that cannot be read is reported where it matters, as no thumbnail.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    // Only regular files (or links to them), read through the one opening that was looked at: a
    // pipe or device under a video's name would block the open for ever, and the listing's own
    // check may be older than the file.
    auto reading = FFmpegFileInput::prepare(path);
    if (reading.refused) return OpenedInput{std::nullopt, nullptr, nullptr, true};
    if (!reading.input) return {};
    OpenedInput opened{std::nullopt, std::move(reading.input), nullptr, false};
    if (reading.indexEntries > 0)
        opened.index.emplace(indexEntryBudget().acquire(static_cast<std::int64_t>(reading.indexEntries)));
    AVFormatContext* context = avformat_alloc_context();
    if (!context) return {};
    context->pb = opened.file->context();
    // A library file is read alone: uploaded under a video's name, an SDP text would bind ports and
    // an HLS list or concat list would have its outside files read and shown in the grid. The
    // lists hold for what the demuxer opens itself, also when it reads through our own reader.
    AVDictionary* options = nullptr;
    for (const auto& option : ffmpegInputOptions(mediaLimits(MediaOrigin::libraryFile)))
        av_dict_set(&options, option.name.c_str(), option.value.c_str(), 0);
    // FFmpeg frees the context itself when opening fails.
    const int status = avformat_open_input(&context, name.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (status < 0) return {};
    opened.format.reset(context);
    return opened;
}

int firstVideoStream(const AVFormatContext& format) {
    for (unsigned i = 0; i < format.nb_streams; ++i)
        if (format.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) return static_cast<int>(i);
    return -1;
}

// Whether the container's header already says all a thumbnail and a duration need: the length,
// and for the first video stream its size, frame rate and first time stamp. Probing the streams
// decodes several pictures (to learn what the decoder learns from the first one anyway) and cost
// as much as the thumbnail's own picture; files whose header leaves anything open are probed.
bool headerSuffices(const AVFormatContext& format) {
    if ((format.ctx_flags & AVFMTCTX_NOHEADER) || format.duration == AV_NOPTS_VALUE || format.duration < 1)
        return false;
    const int index = firstVideoStream(format);
    if (index < 0) return false;
    const AVStream& stream = *format.streams[index];
    const AVCodecParameters& parameters = *stream.codecpar;
    return parameters.width > 0 && parameters.height > 0 && stream.avg_frame_rate.num > 0 &&
           stream.avg_frame_rate.den > 0 && stream.start_time != AV_NOPTS_VALUE;
}

// The stream time stamp a quarter of the way in. An unknown duration means the start.
std::int64_t quarterPoint(const AVFormatContext& format, const AVStream& stream) {
    double offset = 0;
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0) {
        // A duration that does not fit the stream's time base rescales to AV_NOPTS_VALUE.
        const std::int64_t duration = av_rescale_q(format.duration, AV_TIME_BASE_Q, stream.time_base);
        if (duration != AV_NOPTS_VALUE) offset = static_cast<double>(duration) / 100.0 * 25.0;
    }
    const double target = offset + static_cast<double>(FFmpegFrameReader::startTime(stream));
    // Time stamps of a damaged file can put the sum beyond any time stamp; converting that would
    // be undefined, and the start is where such a file is read from anyway.
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (!(target >= -kLimit && target < kLimit)) return FFmpegFrameReader::startTime(stream);
    return static_cast<std::int64_t>(target);
}

// Lines of the thumbnail of a picture `width` x `height` whose pixels are `sampleAspect` wide.
// Square pixels keep single precision and truncation, so 720 x 480 gives 426 lines; other pixels
// are drawn at the picture's display aspect, rounded (720 x 480 at 32:27 is 16:9, 360 lines).
float thumbnailHeight(int width, int height, AVRational sampleAspect) {
    if (sampleAspect.num > 0 && sampleAspect.den > 0 && sampleAspect.num != sampleAspect.den) {
        const double displayAspect =
            static_cast<double>(width) * sampleAspect.num / (static_cast<double>(height) * sampleAspect.den);
        return static_cast<float>(std::round(FFmpegUtility::kThumbnailWidth / displayAspect));
    }
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    return std::trunc(static_cast<float>(FFmpegUtility::kThumbnailWidth) / aspect);
}

double displayRotation(const AVStream& stream) {
    const auto* matrix =
        reinterpret_cast<const std::int32_t*>(av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix) return 0;
    const double angle = av_display_rotation_get(matrix);
    return std::isnan(angle) ? 0 : angle;
}

// Where the pixel at (x, y) of the turned image comes from in the source.
struct SourcePoint {
    int x;
    int y;
};

template <typename Map>
std::shared_ptr<gfx::Image> turned(const gfx::Image& source, int width, int height, Map map) {
    auto image = std::make_shared<gfx::Image>(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = image->row(y);
        for (int x = 0; x < width; ++x) {
            const SourcePoint from = map(x, y);
            std::memcpy(out + 4 * x, source.row(from.y) + 4 * from.x, 4);
        }
    }
    return image;
}

// The largest reduction (a power of two) the decoder offers that keeps the picture at least a
// thumbnail wide: a huge picture is then decoded at a fraction of its memory and time.
int reducedScale(const AVCodec& decoder, int width) {
    int scale = 0;
    while (scale < decoder.max_lowres && (width >> (scale + 1)) >= FFmpegUtility::kThumbnailWidth) ++scale;
    return scale;
}

// The file's length in seconds: the duration the header gave or, where it gave none, the one
// probing found. -1 for a length beyond real media (a damaged header can claim any); a length
// still unknown after probing comes out as 0 or negative.
double lengthOf(std::int64_t headerDuration, const AVFormatContext& probed) {
    const std::int64_t duration = headerDuration >= 1 ? headerDuration : probed.duration;
    const double seconds = static_cast<double>(duration) / AV_TIME_BASE;
    return seconds > kLongestMediaTime ? -1 : seconds;
}

// The decoded picture scaled to the thumbnail's width and `height`, then turned. The scaler
// writes straight into the image (rows packed, as an RGBA frame of alignment 1 would be): no frame
// of its own and no copy, a picture's worth less memory for every worker.
std::shared_ptr<gfx::Image> thumbnailFrom(const AVFrame& frame, int lines, double rotation) {
    constexpr int kWidth = FFmpegUtility::kThumbnailWidth;
    // The scaler follows the decoded frame itself: a stream may change size or format after its
    // header, and scaling a frame with another frame's geometry would read past its planes.
    const auto sourceFormat = static_cast<AVPixelFormat>(frame.format);
    if (frame.width <= 0 || frame.height <= 0 || sourceFormat == AV_PIX_FMT_NONE) return fail("Cannot convert frame");
    // A picture taller than the thumbnail may be keeps its shape, narrower, in the middle.
    const int height = std::min(lines, kTallestThumbnail);
    const int width = lines > height
                          ? std::max(1, static_cast<int>(std::lround(static_cast<double>(kWidth) * height / lines)))
                          : kWidth;
    auto image = std::make_shared<gfx::Image>(kWidth, height);
    if (width < kWidth) image->fill(gfx::Color::black());
    std::uint8_t* planes[4] = {image->row(0) + 4 * ((kWidth - width) / 2), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(image->bytesPerRow()), 0, 0, 0};
    ScalerPtr scaler(sws_getContext(frame.width, frame.height, sourceFormat, width, height, AV_PIX_FMT_RGBA,
                                    SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler || sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) <= 0)
        return fail("Cannot convert frame");
    if (rotation == 0) return image;
    return FFmpegUtility::rotate(std::move(image), rotation);
}

std::shared_ptr<gfx::Image> thumbnailOf(AVFormatContext& format, DecodePixelBudget& budget) {
    const int streamIndex = firstVideoStream(format);
    if (streamIndex < 0) return fail("No video stream");
    AVStream& stream = *format.streams[streamIndex];
    // Still pictures (cover art) carry no frame rate; they are not videos to take a picture of.
    if (stream.avg_frame_rate.den == 0 || av_q2d(stream.avg_frame_rate) == 0) return nullptr;

    const AVCodec* decoder = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!decoder) return fail("Unsupported codec");
    // Declared first, so it outlives the decoder and the frame whose pictures it counts.
    FFmpegDecoderGuard guard;
    CodecContextPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream.codecpar) < 0) return fail("Couldn't open codec");
    codec->time_base = stream.time_base;
    codec->lowres = reducedScale(*decoder, codec->width);

    FramePtr frame(av_frame_alloc());
    if (!frame) return fail("Couldn't alloc video frame");

    // The pixel shape may come only with the decoded pictures, so the size is settled again then.
    auto heightFor = [&](AVFrame* decoded) -> std::optional<int> {
        if (codec->width <= 0 || codec->height <= 0) return std::nullopt;
        const float lines =
            thumbnailHeight(codec->width, codec->height, av_guess_sample_aspect_ratio(&format, &stream, decoded));
        if (!(lines >= 1.0f) || lines > kTallestPicture) return std::nullopt;
        return static_cast<int>(lines);
    };
    const bool sized = codec->width > 0 && codec->height > 0;
    if (sized && !heightFor(nullptr)) return fail("Invalid video size");
    guard.install(*codec, *decoder);
    // The picture as the decoder will give it, reduced, and as it reads it: measured before the
    // decoder is opened where its format is known; else the guard measures it before it takes
    // its memory. The header's size may be missing (the usual largest is assumed) or false.
    const int codedWidth = sized ? codec->width : kUsualWidth;
    const int codedHeight = sized ? codec->height : kUsualHeight;
    const auto stated = [&] {
        return FFmpegDecoderGuard::Picture{AV_CEIL_RSHIFT(codedWidth, codec->lowres),
                                           AV_CEIL_RSHIFT(codedHeight, codec->lowres), codec->pix_fmt, codedWidth,
                                           codedHeight};
    };
    if (codec->pix_fmt != AV_PIX_FMT_NONE && !guard.fitsAlone(stated())) return fail("Picture too large");
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return fail("Couldn't open codec");

    // The pictures are held to the stated size, and a larger one is decoded again, alone if need
    // be, under a lease of its own size.
    std::optional<DecodePixelBudget::Lease> lease;
    lease.emplace(budget.acquire(guard.pixelsRead(stated())));
    guard.allow(stated().width, stated().height);

    // Demuxers that seek by time stamp rather than by key frame (transport streams) can land past the
    // only key frame of a long group of pictures, and nothing decodes from there to the end. The
    // start of the file then gives the picture, as it does for a clip shorter than one such group.
    FFmpegFrameReader reader(format, *codec, streamIndex);
    const std::int64_t start = FFmpegFrameReader::startTime(stream);
    const std::int64_t target = quarterPoint(format, stream);
    auto decode = [&] {
        auto decoded = reader.decodeAt(target, *frame);
        if (decoded != FFmpegFrameReader::Result::frame && target > start && !guard.refused())
            decoded = reader.decodeAt(start, *frame);
        return decoded;
    };
    auto decoded = decode();
    if (const auto refused = guard.refused();
        refused && guard.exceedsAllowedSize(*refused) && guard.fitsAlone(*refused)) {
        av_frame_unref(frame.get());
        lease.reset();
        lease.emplace(budget.acquire(guard.pixelsRead(*refused)));
        guard.allow(refused->width, refused->height);
        decoded = decode();
    }
    if (guard.refused()) return fail("Picture too large");
    if (decoded == FFmpegFrameReader::Result::seekFailed) return fail("Cannot seek");
    if (decoded != FFmpegFrameReader::Result::frame) return nullptr;

    if (frame->format == AV_PIX_FMT_NONE) return fail("Pixel format is none");
    const auto lines = heightFor(frame.get());
    if (!lines) return fail("Invalid video size");
    // Only the picture is needed from here: the decoder's context and tables go before scaling.
    codec.reset();
    return thumbnailFrom(*frame, *lines, displayRotation(stream));
}

// The path a file open at `descriptor` is opened again through: the same open file, whatever its
// name leads to now.
std::string descriptorPath(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

}  // namespace

std::shared_ptr<gfx::Image> FFmpegUtility::getThumbnailForFile(const std::string& path) {
    return getMetadataForFile(path).thumbnail;
}

FFmpegUtility::Metadata FFmpegUtility::getMetadataForFile(const std::string& path, DecodePixelBudget& budget) {
    return readMetadata(path, path, budget);
}

FFmpegUtility::Metadata FFmpegUtility::getMetadataForDescriptor(int descriptor, const std::string& name) {
    return readMetadata(descriptorPath(descriptor), name, DecodePixelBudget::shared());
}

double FFmpegUtility::getDurationForDescriptor(int descriptor, const std::string& name) {
    return readDuration(descriptorPath(descriptor), name);
}

FFmpegUtility::Probe FFmpegUtility::probeDescriptor(int descriptor, const std::string& name) {
    const OpenedInput input = openInput(descriptorPath(descriptor), name);
    if (input.refused) return Probe::refused;
    if (!input.format) return Probe::unreadable;
    // All the streams, as the player's demuxer probes them: not the bounded probe of the library's
    // own reads, since what is cleared here is what the player will do.
    return avformat_find_stream_info(input.format.get(), nullptr) >= 0 ? Probe::opened : Probe::unreadable;
}

FFmpegUtility::Metadata FFmpegUtility::readMetadata(const std::string& path, const std::string& name,
                                                    DecodePixelBudget& budget) {
    Metadata metadata;
    const OpenedInput input = openInput(path, name);
    const FormatPtr& format = input.format;
    if (!format) {
        fail("Couldn't open input stream");
        return metadata;
    }
    const std::int64_t headerDuration = format->duration;
    if (!headerSuffices(*format) && FFmpegPictureBound::findStreamInfo(*format) < 0) {
        if (headerDuration >= 1) metadata.duration = lengthOf(headerDuration, *format);
        fail("Couldn't get stream info");
        return metadata;
    }
    metadata.duration = lengthOf(headerDuration, *format);
    metadata.thumbnail = thumbnailOf(*format, budget);
    return metadata;
}

std::shared_ptr<gfx::Image> FFmpegUtility::rotate(std::shared_ptr<gfx::Image> image, double angle) {
    if (!image) return image;
    // The display matrix gives angles like 89.99999 and may report a half turn as 180.
    double degrees = std::round(angle);
    if (degrees == 180) degrees = -180;
    const gfx::Image& source = *image;
    const int w = source.width();
    const int h = source.height();
    if (degrees == 90)  // a quarter counter-clockwise: the right column becomes the top row
        return turned(source, h, w, [w](int x, int y) { return SourcePoint{w - 1 - y, x}; });
    if (degrees == -90)  // a quarter clockwise: the left column becomes the top row
        return turned(source, h, w, [h](int x, int y) { return SourcePoint{y, h - 1 - x}; });
    if (degrees == -180)
        return turned(source, w, h, [w, h](int x, int y) { return SourcePoint{w - 1 - x, h - 1 - y}; });
    return image;
}

double FFmpegUtility::getDurationForFile(const std::string& path) { return readDuration(path, path); }

double FFmpegUtility::readDuration(const std::string& path, const std::string& name) {
    const OpenedInput input = openInput(path, name);
    const FormatPtr& format = input.format;
    if (!format) return -1;
    const std::int64_t headerDuration = format->duration;
    // Containers without a duration in their header need their streams probed.
    if (headerDuration < 1 && FFmpegPictureBound::findStreamInfo(*format) < 0) return -1;
    return lengthOf(headerDuration, *format);
}

}  // namespace reelhaven
