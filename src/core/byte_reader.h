#pragma once

#include <cstdint>
#include <functional>

namespace reelhaven {

// Reads up to `size` bytes of a file at `offset` into `into`: the count read, 0 at the end, -1 on
// an error. How the readers of a file's own structure see it, ahead of FFmpeg.
using ByteReader = std::function<std::int64_t(std::int64_t offset, std::uint8_t* into, std::int64_t size)>;

// Reads `size` bytes at `offset` of an open file, fewer only at its end: the count read, -1 when
// nothing could be read.
std::int64_t readFully(int descriptor, std::int64_t offset, std::uint8_t* into, std::int64_t size);

// A reader of the open file `descriptor`, which must outlive it.
ByteReader descriptorReader(int descriptor);

// The block a buffered reader reads at a time: a recording fragmented on every frame has a
// fragment's seven box headers in every few hundred bytes, and each header read alone was a
// system call (1.1 million of them, 0.8 s, for a 30-minute one; 2,300 in all now).
constexpr std::int64_t kReadBlock = 64 * 1024;

// A reader that serves small reads from blocks of `blockSize` bytes read through `source` (which
// it keeps), so that walking a file's headers costs a system call a block, not one a header.
// Reads of a block or more go to `source` as they are. One thread at a time.
ByteReader bufferedReader(ByteReader source, std::int64_t blockSize = kReadBlock);

}  // namespace reelhaven
