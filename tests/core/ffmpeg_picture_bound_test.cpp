#include "core/ffmpeg_picture_bound.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/imgutils.h>
}

#include "core/ffmpeg_resources.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

// A clip's first video stream, probed as the thumbnail is, with its decoder opened under `guard`.
struct GuardedClip {
    GuardedClip(const std::string& path, FFmpegDecoderGuard& guard) {
        AVFormatContext* context = nullptr;
        if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return;
        format.reset(context);
        if (FFmpegPictureBound::findStreamInfo(*context) < 0) return;
        stream = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (stream < 0) return;
        const AVCodec* decoder = avcodec_find_decoder(context->streams[stream]->codecpar->codec_id);
        codec.reset(avcodec_alloc_context3(decoder));
        avcodec_parameters_to_context(codec.get(), context->streams[stream]->codecpar);
        guard.install(*codec, *decoder);
        if (avcodec_open2(codec.get(), decoder, nullptr) < 0) codec.reset();
    }

    // Decodes every packet, keeping each picture given until the next: how many came.
    int decodeAll(AVFrame& frame) {
        PacketPtr packet(av_packet_alloc());
        int pictures = 0;
        auto receive = [&] {
            while (avcodec_receive_frame(codec.get(), &frame) >= 0) ++pictures;
        };
        while (av_read_frame(format.get(), packet.get()) >= 0) {
            if (packet->stream_index == stream) {
                avcodec_send_packet(codec.get(), packet.get());
                receive();
            }
            av_packet_unref(packet.get());
        }
        avcodec_send_packet(codec.get(), nullptr);
        receive();
        return pictures;
    }

    FormatPtr format;
    CodecContextPtr codec;
    int stream = -1;
};

TEST(FFmpegDecoderGuardTest, CountsEveryPictureTheDecoderHoldsAndRefusesOneBeyondTheBound) {
    FFmpegDecoderGuard guard;
    const std::int64_t picture = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, 6000, 6000, 1);
    {
        // Ten 6000 x 6000 pictures (52 MB each), each kept as a reference: the decoder would hold
        // them all, and gets three.
        GuardedClip clip(testing_support::testMedia("many-references.ts"), guard);
        ASSERT_TRUE(clip.codec);
        guard.allow(6000, 6000);
        FramePtr frame(av_frame_alloc());
        EXPECT_EQ(clip.decodeAll(*frame), 3);
        const auto refused = guard.refused();
        ASSERT_TRUE(refused);
        EXPECT_FALSE(guard.exceedsAllowedSize(*refused)) << "refused for the memory, not its size";
        EXPECT_GE(guard.peakBytes(), 3 * picture) << "references are counted";
        EXPECT_LE(guard.peakBytes(), FFmpegPictureBound::kMostBytes);
        EXPECT_GE(guard.heldBytes(), picture) << "the last picture given is still held";
    }
    EXPECT_EQ(guard.heldBytes(), 0);
}

TEST(FFmpegDecoderGuardTest, APictureLargerThanAllowedIsRefusedAndItsSizeKept) {
    FFmpegDecoderGuard guard;
    // 1600 x 1200 under a header that claims 64 x 64.
    GuardedClip clip(testing_support::testMedia("false-size.mkv"), guard);
    ASSERT_TRUE(clip.codec);
    guard.allow(64, 64);
    FramePtr frame(av_frame_alloc());
    EXPECT_EQ(clip.decodeAll(*frame), 0);
    const auto refused = guard.refused();
    ASSERT_TRUE(refused);
    EXPECT_GE(refused->width, 1600);
    EXPECT_GE(refused->height, 1200);
    EXPECT_EQ(refused->format, AV_PIX_FMT_YUV420P);
    EXPECT_TRUE(guard.exceedsAllowedSize(*refused));
    EXPECT_EQ(guard.peakBytes(), 0);

    // Allowed its size, it decodes.
    guard.allow(refused->width, refused->height);
    ASSERT_GE(av_seek_frame(clip.format.get(), clip.stream, 0, AVSEEK_FLAG_BACKWARD), 0);
    avcodec_flush_buffers(clip.codec.get());
    EXPECT_GT(clip.decodeAll(*frame), 0);
    EXPECT_FALSE(guard.refused());
}

}  // namespace
}  // namespace reelhaven
