#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/matroska_attachments.h"

struct AVIOContext;

namespace reelhaven {

// A file FFmpeg reads through the descriptor it was looked at through, with a few bytes read
// otherwise: the headers of the Matroska attachments it would load whole, read as void elements.
// Give context() to the format context before opening it; the input must outlive that context.
class FFmpegFileInput {
public:
    // How FFmpeg is to read a file.
    struct Reading {
        // Its sample tables would have FFmpeg build an index beyond what one file may take: it is
        // not to be opened at all.
        bool refused = false;
        // The input to read it through; null where it cannot be opened or is no regular file.
        std::unique_ptr<FFmpegFileInput> input;
        // The index entries its sample tables have the reader build (MP4 and QuickTime files).
        std::uint64_t indexEntries = 0;
    };

    static Reading prepare(const std::string& path);

    FFmpegFileInput(const FFmpegFileInput&) = delete;
    FFmpegFileInput& operator=(const FFmpegFileInput&) = delete;
    ~FFmpegFileInput();

    AVIOContext* context() const { return m_context; }

private:
    FFmpegFileInput(int descriptor, std::int64_t size, std::vector<MatroskaAttachments::Patch> patches);

    std::int64_t readAt(std::int64_t offset, std::uint8_t* into, std::int64_t size) const;
    static int readPacket(void* opaque, std::uint8_t* into, int size);
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence);

    int m_descriptor;
    std::int64_t m_size;
    std::int64_t m_position = 0;
    std::vector<MatroskaAttachments::Patch> m_patches;
    AVIOContext* m_context = nullptr;
};

}  // namespace reelhaven
