#pragma once

#include <cstdint>
#include <vector>

#include "core/byte_reader.h"

namespace reelhaven {

// Finds the attachment elements (fonts, covers, any file) of a Matroska file that its reader would
// load while it opens the file, and gives, for each, the bytes that turn its header into one of a
// void element of the same length. FFmpeg's demuxer reads every attachment whole into memory,
// twice over, on every opening (a clip carrying 200 MB took 630 MB to list); a void element is
// skipped unread, and nothing but the header changes, so every position in the file stays valid.
// No state; any thread.
class MatroskaAttachments {
public:
    MatroskaAttachments() = delete;

    using Reader = ByteReader;

    // Bytes to be read at `offset` in place of the file's own.
    struct Patch {
        std::int64_t offset = 0;
        std::vector<std::uint8_t> bytes;
    };

    // The patches that hide every attachment a reader of the file opening it reaches: those
    // among the top-level elements before the first cluster, and those its seek heads point at.
    // None for a file that is no Matroska file or holds no attachment.
    static std::vector<Patch> voidingPatches(const Reader& read);
};

}  // namespace reelhaven
