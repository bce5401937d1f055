#include "core/ffmpeg_frame_reader.h"

#include "core/ffmpeg_resources.h"

#include <algorithm>

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
    // A field of an interlaced picture may come in a packet of its own: the key packet alone
    // would be half a picture.
    const AVFieldOrder fields = m_format.streams[m_streamIndex]->codecpar->field_order;
    if (fields == AV_FIELD_UNKNOWN || fields == AV_FIELD_PROGRESSIVE) {
        if (!seekToKeyFrame(target)) return Read::seekFailed;
        if (decodeKeyPictureAlone(frame) == Read::frame) return Read::frame;
    }
    return decodeOnwards(target, frame);
}

FFmpegFrameReader::Read FFmpegFrameReader::decodeOnwards(std::int64_t target, AVFrame& frame) {
    if (!seekToKeyFrame(target)) return Read::seekFailed;
    // Decoding from a packet in the middle of a group costs hundreds of frames that never give
    // a picture: the decode starts at the first key packet.
    Read read = decodeFirstFrame(Start::keyPacket, frame);
    if (read == Read::noKeyPacket) {
        // A stream whose packets never say they are key frames is decoded as it comes.
        if (!seek(target)) return Read::seekFailed;
        read = decodeFirstFrame(Start::anyPacket, frame);
    }
    return read;
}

bool FFmpegFrameReader::seekToKeyFrame(std::int64_t target) {
    if (!seek(target)) return false;
    // Demuxers that seek by time stamp (transport streams) land on whatever packet is there, not
    // on the key frame at or before it: that one is looked for by reading back, so the picture is
    // the one an indexed container of the same stream gives.
    if (!landedOnKeyPacket()) {
        const auto key = keyPacketAtOrBefore(target);
        return (key && seekToPacket(*key)) || seek(target);
    }
    return seek(target);
}

FFmpegFrameReader::Read FFmpegFrameReader::decodeKeyPictureAlone(AVFrame& frame) {
    PacketPtr packet(av_packet_alloc());
    if (!packet) return Read::none;
    for (;;) {
        if (av_read_frame(&m_format, packet.get()) < 0) return Read::noKeyPacket;
        if (packet->stream_index == m_streamIndex && (packet->flags & AV_PKT_FLAG_KEY)) break;
        av_packet_unref(packet.get());
    }
    const int sent = avcodec_send_packet(&m_codec, packet.get());
    av_packet_unref(packet.get());
    ++m_packetsDecoded;
    if (sent < 0) {
        if (sent == AVERROR_INVALIDDATA) m_refusedPackets = true;
        return Read::none;
    }
    int received = avcodec_receive_frame(&m_codec, &frame);
    if (received == AVERROR(EAGAIN) && avcodec_send_packet(&m_codec, nullptr) >= 0)
        received = avcodec_receive_frame(&m_codec, &frame);
    if (received < 0) return Read::none;
    if (isSound(frame) && !frame.interlaced_frame) return Read::frame;
    av_frame_unref(&frame);
    return Read::none;
}

bool FFmpegFrameReader::landedOnKeyPacket() {
    PacketPtr packet(av_packet_alloc());
    if (!packet) return true;
    while (av_read_frame(&m_format, packet.get()) >= 0) {
        const bool ours = packet->stream_index == m_streamIndex;
        const bool key = packet->flags & AV_PKT_FLAG_KEY;
        av_packet_unref(packet.get());
        if (ours) return key;
    }
    return true;  // nothing to read: nothing better to find either
}

std::optional<FFmpegFrameReader::KeyPacket> FFmpegFrameReader::keyPacketAtOrBefore(std::int64_t target) {
    const AVStream& stream = *m_format.streams[m_streamIndex];
    const std::int64_t start = startTime(stream);
    PacketPtr packet(av_packet_alloc());
    if (!packet) return std::nullopt;
    // Windows of one second before the target, doubled each time none holds a key packet: a
    // group of pictures is read through about twice at most.
    std::int64_t window = std::max<std::int64_t>(1, av_rescale_q(AV_TIME_BASE, AV_TIME_BASE_Q, stream.time_base));
    for (;;) {
        const std::int64_t from = std::max(start, target - window);
        // The widest window reads from the file's first byte: with reordered pictures the first
        // key packet is decoded before the first time shown, and a seek by time stamp to that time
        // lands after it.
        const bool fromFileStart = from <= start && !(m_format.iformat->flags & AVFMT_NO_BYTE_SEEK) &&
                                   av_seek_frame(&m_format, -1, 0, AVSEEK_FLAG_BYTE) >= 0;
        if (!fromFileStart && av_seek_frame(&m_format, m_streamIndex, from, AVSEEK_FLAG_BACKWARD) < 0)
            return std::nullopt;
        std::optional<KeyPacket> last;
        while (av_read_frame(&m_format, packet.get()) >= 0) {
            const bool ours = packet->stream_index == m_streamIndex;
            const std::int64_t decodeTime = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
            const std::int64_t showTime = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            const bool key = packet->flags & AV_PKT_FLAG_KEY;
            const std::int64_t position = packet->pos;
            av_packet_unref(packet.get());
            if (!ours || decodeTime == AV_NOPTS_VALUE) continue;
            if (decodeTime > target) break;
            if (key && showTime <= target) last = KeyPacket{showTime, position};
        }
        if (last) return last;
        if (from <= start) return std::nullopt;
        window *= 2;
    }
}

bool FFmpegFrameReader::seekToPacket(const KeyPacket& key) {
    avcodec_flush_buffers(&m_codec);
    // Straight to the packet's bytes where the demuxer can: a seek by time stamp could land after it.
    const bool byBytes = key.position >= 0 && !(m_format.iformat->flags & AVFMT_NO_BYTE_SEEK) &&
                         av_seek_frame(&m_format, -1, key.position, AVSEEK_FLAG_BYTE) >= 0;
    if (!byBytes && av_seek_frame(&m_format, m_streamIndex, key.time, AVSEEK_FLAG_BACKWARD) < 0) return false;
    avcodec_flush_buffers(&m_codec);
    return true;
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
