#pragma once

#include <cstdint>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace reelhaven {

// Finds the one picture a thumbnail is made of: the first sound frame decoded from the key frame at
// or before a time stamp of one video stream. Damaged pictures are passed over for the next sound
// one: frames the decoder flags, and packets it refuses when asked to check them, after which it
// starts again at the next key frame. Only when no sound picture comes is a damaged one taken. Works on contexts its
// caller opened and owns; one reader per thumbnail, on one thread.
//
// A decoder that reorders pictures holds the key frame back until it has decoded the pictures
// after it (two or three more for common H.264), each costing time and a picture's memory. The key
// packet is therefore first decoded alone and the decoder drained, which gives the same picture
// for one packet; only when that gives no sound, whole picture is the stream decoded onwards.
class FFmpegFrameReader {
public:
    enum class Result { frame, none, seekFailed };

    FFmpegFrameReader(AVFormatContext& format, AVCodecContext& codec, int streamIndex)
        : m_format(format), m_codec(codec), m_streamIndex(streamIndex) {}

    // Seeks back to the key frame at or before `target` (in the stream's time base) and decodes
    // into `frame`.
    Result decodeAt(std::int64_t target, AVFrame& frame);

    // A stream's first time stamp; an unknown one counts as 0.
    static std::int64_t startTime(const AVStream& stream);

    // Packets given to the decoder so far: what the pictures cost.
    int packetsDecoded() const { return m_packetsDecoded; }

private:
    enum class Start { anyPacket, keyPacket };
    enum class Read { frame, none, noKeyPacket, seekFailed };

    // Where a key packet lies: its presentation time stamp and its byte offset (-1: unknown).
    struct KeyPacket {
        std::int64_t time;
        std::int64_t position;
    };

    bool seek(std::int64_t target);
    // Goes to the key frame at or before `target`, or where a demuxer that cannot tell puts it.
    bool seekToKeyFrame(std::int64_t target);
    // Reads the stream's first packet after a seek: whether the demuxer went to a key frame.
    bool landedOnKeyPacket();
    // The last key packet shown at or before `target`, read back from it in widening windows.
    std::optional<KeyPacket> keyPacketAtOrBefore(std::int64_t target);
    bool seekToPacket(const KeyPacket& key);
    Read decodeFirstFrame(Start start, AVFrame& frame);
    // Decodes the first key packet on its own and drains the decoder: a frame only when that
    // gives a sound, whole (progressive) picture.
    Read decodeKeyPictureAlone(AVFrame& frame);
    Read decodeFrom(std::int64_t target, AVFrame& frame);
    Read decodeOnwards(std::int64_t target, AVFrame& frame);
    // Takes the frames the decoder has ready after a packet (or after draining): true when `frame`
    // now holds a sound one; a damaged one is kept in `damaged` when none is kept yet.
    bool receiveSoundFrame(AVFrame& frame, AVFrame& damaged, int& damagedFrames, bool& failed);

    AVFormatContext& m_format;
    AVCodecContext& m_codec;
    const int m_streamIndex;
    int m_packetsDecoded = 0;
    bool m_refusedPackets = false;
};

}  // namespace reelhaven
