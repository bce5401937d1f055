#pragma once

#include <cstdint>
#include <string>

#include "support/crafted_h264.h"
#include "support/sparse_file.h"

// Containers other than MP4 written byte by byte around crafted H.264 pictures, for the hostile
// shapes: a transport stream, a TIFF picture, a Matroska file carrying an attachment.
namespace crafted_streams {

// A transport stream of `streams` H.264 streams (in programs of 30), each `frames` pictures at 25
// a second, the streams' pictures interleaved frame by frame.
std::string transportStream(int streams, int frames, const crafted_h264::Picture& picture);

// `count` zero bytes deflated with zlib, made a megabyte at a time.
std::string deflatedZeros(std::uint64_t count);

// A TIFF picture of `width` x `height` 8-bit RGB in one strip, `strip` as it is stored (deflated).
std::string tiff(std::uint32_t width, std::uint32_t height, const std::string& strip);

struct Matroska {
    std::uint64_t attachment = 0;         // its length, all zeros
    bool attachmentsSizeUnknown = false;  // the attachments element says "unknown" for its size
    int voidsBeforeSegment = 0;           // void elements between the header and the segment
    int voidsBeforeAttachments = 0;       // void elements in the segment before the attachments
};

// A Matroska file of one 16 x 16 H.264 picture carrying one attachment as `shape` says.
testing_support::SparseFile matroskaWithAttachment(const Matroska& shape);

}  // namespace crafted_streams
