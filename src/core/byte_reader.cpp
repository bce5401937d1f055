#include "core/byte_reader.h"

#include <unistd.h>

#include <cerrno>

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

}  // namespace reelhaven
