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

}  // namespace reelhaven
