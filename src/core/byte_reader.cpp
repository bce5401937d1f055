#include "core/byte_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace reelhaven {

std::int64_t readFully(int descriptor, std::int64_t offset, std::uint8_t* into, std::int64_t size) {
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(descriptor, into + done, static_cast<std::size_t>(size - done), offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return done > 0 ? done : -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}

ByteReader descriptorReader(int descriptor) {
    return [descriptor](std::int64_t offset, std::uint8_t* into, std::int64_t size) {
        return readFully(descriptor, offset, into, size);
    };
}

namespace {

// The block last read: `length` bytes of the file from `start` (fewer than a block only at its end).
struct Block {
    ByteReader source;
    std::vector<std::uint8_t> bytes;
    std::int64_t start = 0;
    std::int64_t length = 0;
    bool filled = false;

    std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t size) {
        const auto capacity = static_cast<std::int64_t>(bytes.size());
        if (size >= capacity || offset < 0) return source(offset, into, size);
        const bool held = filled && offset >= start && offset + size <= start + length;
        // A read past the end of the last block held runs into the file's end there.
        const bool atEnd = filled && length < capacity && offset >= start && offset <= start + length;
        if (!held && !atEnd) {
            filled = false;
            const std::int64_t got = source(offset, bytes.data(), capacity);
            if (got < 0) return -1;
            start = offset;
            length = got;
            filled = true;
        }
        const std::int64_t count = std::clamp<std::int64_t>(start + length - offset, 0, size);
        std::memcpy(into, bytes.data() + (offset - start), static_cast<std::size_t>(count));
        return count;
    }
};

}  // namespace

ByteReader bufferedReader(ByteReader source, std::int64_t blockSize) {
    auto block = std::make_shared<Block>();
    block->source = std::move(source);
    block->bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(blockSize, 1)));
    return
        [block](std::int64_t offset, std::uint8_t* into, std::int64_t size) { return block->read(offset, into, size); };
}

}  // namespace reelhaven
