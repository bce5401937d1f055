#include "core/ffmpeg_frame_reader.h"

#include <gtest/gtest.h>

#include "core/ffmpeg_resources.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

enum class Probe { streams, headerOnly };

// A clip's first video stream with its decoder open; its streams probed or known from the header alone.
struct OpenClip {
    explicit OpenClip(const std::string& path, Probe probe = Probe::streams) {
        AVFormatContext* context = nullptr;
        if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return;
        format.reset(context);
        if (probe == Probe::streams && avformat_find_stream_info(context, nullptr) < 0) return;
        stream = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (stream < 0) return;
        const AVCodec* decoder = avcodec_find_decoder(context->streams[stream]->codecpar->codec_id);
        codec.reset(avcodec_alloc_context3(decoder));
        avcodec_parameters_to_context(codec.get(), context->streams[stream]->codecpar);
        if (avcodec_open2(codec.get(), decoder, nullptr) < 0) codec.reset();
    }

    std::int64_t secondsIn(double seconds) const {
        const AVStream& video = *format->streams[stream];
        return FFmpegFrameReader::startTime(video) +
               av_rescale_q(static_cast<std::int64_t>(seconds * AV_TIME_BASE), AV_TIME_BASE_Q, video.time_base);
    }

    FormatPtr format;
    CodecContextPtr codec;
    int stream = -1;
};

TEST(FFmpegFrameReaderTest, ASeekIntoALongGroupOfPicturesDecodesOnlyTheKeyFrameBeforeIt) {
    // Key frames at 0 s and 10 s: a transport stream seeks by time stamp and lands on a picture at
    // 5 s that needs the key frame before it; an MP4 of the same pictures seeks to that key frame.
    for (const char* name : {"longgop.ts", "longgop.mp4"}) {
        OpenClip clip(testing_support::testMedia(name));
        ASSERT_TRUE(clip.codec) << name;
        FramePtr frame(av_frame_alloc());
        FFmpegFrameReader reader(*clip.format, *clip.codec, clip.stream);
        ASSERT_EQ(reader.decodeAt(clip.secondsIn(5), *frame), FFmpegFrameReader::Result::frame) << name;
        EXPECT_TRUE(frame->key_frame) << name;
        EXPECT_EQ(frame->pts, clip.secondsIn(0)) << name;
        EXPECT_LE(reader.packetsDecoded(), 2) << name;

        // At or after the second key frame, that one.
        ASSERT_EQ(reader.decodeAt(clip.secondsIn(15), *frame), FFmpegFrameReader::Result::frame) << name;
        EXPECT_EQ(frame->pts, clip.secondsIn(10)) << name;
        ASSERT_EQ(reader.decodeAt(clip.secondsIn(10), *frame), FFmpegFrameReader::Result::frame) << name;
        EXPECT_EQ(frame->pts, clip.secondsIn(10)) << name;
    }
}

TEST(FFmpegFrameReaderTest, AClipThatSeeksToItsKeyFramesDecodesOnePacket) {
    OpenClip clip(testing_support::testMedia("wide.mp4"));
    ASSERT_TRUE(clip.codec);
    FramePtr frame(av_frame_alloc());
    FFmpegFrameReader reader(*clip.format, *clip.codec, clip.stream);
    ASSERT_EQ(reader.decodeAt(clip.secondsIn(1.5), *frame), FFmpegFrameReader::Result::frame);
    EXPECT_TRUE(frame->key_frame);
    EXPECT_EQ(reader.packetsDecoded(), 1);
}

TEST(FFmpegFrameReaderTest, AKeyFrameThatTheDecoderWouldHoldBackIsDecodedOnItsOwn) {
    // Key frames every 2 s, with B-frames: decoding onwards, the key frame comes out only after
    // the pictures that follow it were decoded too.
    OpenClip clip(testing_support::testMedia("reordered.mp4"));
    ASSERT_TRUE(clip.codec);
    ASSERT_GT(clip.codec->has_b_frames, 0) << "the clip must reorder its pictures";
    FramePtr frame(av_frame_alloc());
    FFmpegFrameReader reader(*clip.format, *clip.codec, clip.stream);
    ASSERT_EQ(reader.decodeAt(clip.secondsIn(2.5), *frame), FFmpegFrameReader::Result::frame);
    EXPECT_TRUE(frame->key_frame);
    EXPECT_EQ(frame->pts, clip.secondsIn(2));
    EXPECT_EQ(reader.packetsDecoded(), 1);

    // The reader is used again from a drained decoder: the next picture is just as right.
    ASSERT_EQ(reader.decodeAt(clip.secondsIn(7.9), *frame), FFmpegFrameReader::Result::frame);
    EXPECT_EQ(frame->pts, clip.secondsIn(6));
    EXPECT_EQ(reader.packetsDecoded(), 2);
}

TEST(FFmpegFrameReaderTest, AnInterlacedPictureIsNotTakenFromItsKeyPacketAlone) {
    // A field may come in a packet of its own, so a key packet alone may be half a picture. Probed
    // streams say they are interlaced; from an MP4's header alone, the decoded picture says so.
    for (Probe probe : {Probe::streams, Probe::headerOnly}) {
        OpenClip clip(testing_support::testMedia("interlaced.mp4"), probe);
        ASSERT_TRUE(clip.codec);
        FramePtr frame(av_frame_alloc());
        FFmpegFrameReader reader(*clip.format, *clip.codec, clip.stream);
        ASSERT_EQ(reader.decodeAt(clip.secondsIn(2.5), *frame), FFmpegFrameReader::Result::frame);
        EXPECT_TRUE(frame->interlaced_frame);
        EXPECT_EQ(frame->pts, clip.secondsIn(2));
        EXPECT_GT(reader.packetsDecoded(), 1) << (probe == Probe::streams ? "probed" : "header only");
    }
}

}  // namespace
}  // namespace reelhaven
