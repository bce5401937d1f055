#pragma once

#include <cstdint>
#include <string>

// H.264 pictures written bit by bit, for the crafted files that need a real video stream: every
// picture an instantaneous refresh of flat grey macroblocks (one byte each), a few bytes in all.
namespace crafted_h264 {

// A picture of `width` x `height` (multiples of 16) as a decoder takes it.
struct Picture {
    int width = 16;
    int height = 16;
};

// The sequence and picture parameter sets, and one picture's slice numbered `id` (two pictures in
// a row must differ), each one unit without its start code or length.
std::string sequenceParameters(const Picture& picture);
std::string pictureParameters();
std::string refreshSlice(const Picture& picture, int id);

// Units in Annex B form, each after a start code.
std::string annexB(std::initializer_list<std::string> units);
// Units each after its length in four bytes, as MP4 and Matroska carry them.
std::string lengthPrefixed(std::initializer_list<std::string> units);
// The decoder configuration MP4 and Matroska give a stream (`avcC`).
std::string configuration(const Picture& picture);

}  // namespace crafted_h264
