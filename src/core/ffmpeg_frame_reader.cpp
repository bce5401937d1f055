#include "core/ffmpeg_frame_reader.h"

#include "core/ffmpeg_resources.h"

namespace reelhaven {

namespace {

// A damaged stream may conceal its errors over a whole group of pictures. After this many
// damaged frames the first of them is the picture: a damaged one is better than none.
constexpr int kMostDamagedFrames = 50;

bool isSound(const AVFrame& frame) { return !(frame.flags & AV_FRAME_FLAG_CORRUPT) && frame.decode_error_flags == 0; }

bool holdsPicture(const AVFrame& frame) { return frame.buf[0] != nullptr; }

}  // namespace

std::int64_t FFmpegFrameReader::startTime(const AVStream& stream) {
    return stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
}

FFmpegFrameReader::Result FFmpegFrameReader::decodeAt(std::int64_t target, AVFrame& frame) {
    // A decoder that checks its input refuses a damaged packet instead of drawing what it could
    // read of it (HEVC leaves the rest green); when that leaves nothing, the lenient decode below
    // still gives what can be had.
    const int lenient = m_codec.err_recognition;
    m_codec.err_recognition = lenient | AV_EF_EXPLODE;
    m_refusedPackets = false;
    Read read = decodeFrom(target, frame);
    m_codec.err_recognition = lenient;
    if (read == Read::none && m_refusedPackets) read = decodeFrom(target, frame);
    if (read == Read::seekFailed) return Result::seekFailed;
    return read == Read::frame ? Result::frame : Result::none;
}

FFmpegFrameReader::Read FFmpegFrameReader::decodeFrom(std::int64_t target, AVFrame& frame) {
    if (!seek(target)) return Read::seekFailed;
    // Demuxers that seek by time stamp (transport streams) land on whatever packet is there, and
    // decoding from it to the next key frame costs hundreds of frames that never give a picture.
    Read read = decodeFirstFrame(Start::keyPacket, frame);
    if (read == Read::noKeyPacket) {
        // A stream whose packets never say they are key frames is decoded as it comes.
        if (!seek(target)) return Read::seekFailed;
        read = decodeFirstFrame(Start::anyPacket, frame);
    }
    return read;
}

// A raw stream without an index cannot seek by time; at its start it can still go back to byte 0.
bool FFmpegFrameReader::seek(std::int64_t target) {
    avcodec_flush_buffers(&m_codec);
    if (av_seek_frame(&m_format, m_streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0) {
        const bool atStart = target <= startTime(*m_format.streams[m_streamIndex]);
        if (!atStart || (m_format.iformat->flags & AVFMT_NO_BYTE_SEEK) ||
            av_seek_frame(&m_format, -1, 0, AVSEEK_FLAG_BYTE) < 0)
            return false;
    }
    avcodec_flush_buffers(&m_codec);
    return true;
}

// Reads packets until the decoder gives a sound frame; at the end of the file the decoder is
// drained, so a short file still gives the frames it holds back.
FFmpegFrameReader::Read FFmpegFrameReader::decodeFirstFrame(Start start, AVFrame& frame) {
    PacketPtr packet(av_packet_alloc());
    FramePtr damaged(av_frame_alloc());
    if (!packet || !damaged) return Read::none;
    bool waitingForKey = start == Start::keyPacket;
    bool sawKey = false;
    int damagedFrames = 0;
    bool failed = false;
    while (!failed && damagedFrames < kMostDamagedFrames) {
        if (av_read_frame(&m_format, packet.get()) < 0) {
            if (start == Start::keyPacket && !sawKey) return Read::noKeyPacket;
            if (avcodec_send_packet(&m_codec, nullptr) >= 0 &&
                receiveSoundFrame(frame, *damaged, damagedFrames, failed))
                return Read::frame;
            break;
        }
        if (packet->stream_index != m_streamIndex || (waitingForKey && !(packet->flags & AV_PKT_FLAG_KEY))) {
            av_packet_unref(packet.get());
            continue;
        }
        if (waitingForKey) sawKey = true;
        waitingForKey = false;
        const int sent = avcodec_send_packet(&m_codec, packet.get());
        av_packet_unref(packet.get());
        ++m_packetsDecoded;
        if (sent == AVERROR_INVALIDDATA) {
            // Pictures after a refused one would be drawn from what is missing: start afresh at
            // the next key frame.
            m_refusedPackets = true;
            ++damagedFrames;
            avcodec_flush_buffers(&m_codec);
            waitingForKey = start == Start::keyPacket;
            continue;
        }
        if (sent < 0) break;
        if (receiveSoundFrame(frame, *damaged, damagedFrames, failed)) return Read::frame;
    }
    if (!holdsPicture(*damaged)) return Read::none;
    av_frame_unref(&frame);
    av_frame_move_ref(&frame, damaged.get());
    return Read::frame;
}

bool FFmpegFrameReader::receiveSoundFrame(AVFrame& frame, AVFrame& damaged, int& damagedFrames, bool& failed) {
    while (damagedFrames < kMostDamagedFrames) {
        const int received = avcodec_receive_frame(&m_codec, &frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return false;
        if (received < 0) {
            failed = true;
            return false;
        }
        if (isSound(frame)) return true;
        ++damagedFrames;
        if (!holdsPicture(damaged)) {
            av_frame_move_ref(&damaged, &frame);
        } else {
            av_frame_unref(&frame);
        }
    }
    return false;
}

}  // namespace reelhaven
