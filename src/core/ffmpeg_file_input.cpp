#include "core/ffmpeg_file_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "core/byte_reader.h"
#include "core/mp4_sample_tables.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace reelhaven {

namespace {

// FFmpeg's own buffer for files.
constexpr int kBufferSize = 32 * 1024;

}  // namespace

FFmpegFileInput::Reading FFmpegFileInput::prepare(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return {};
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return {};
    }
    const ByteReader read = descriptorReader(descriptor);
    const auto entries = Mp4SampleTables::indexEntries(read);
    if (!entries || *entries > Mp4SampleTables::kMostEntries) {
        ::close(descriptor);
        return {true, nullptr};
    }
    // FFmpeg reads what was looked at: the file's name may meanwhile lead to another.
    std::unique_ptr<FFmpegFileInput> input(
        new FFmpegFileInput(descriptor, info.st_size, MatroskaAttachments::voidingPatches(bufferedReader(read))));
    return {false, input->m_context ? std::move(input) : nullptr, *entries};
}

FFmpegFileInput::FFmpegFileInput(int descriptor, std::int64_t size, std::vector<MatroskaAttachments::Patch> patches)
    : m_descriptor(descriptor), m_size(size), m_patches(std::move(patches)) {
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer) return;
    m_context = avio_alloc_context(buffer, kBufferSize, 0, this, readPacket, nullptr, seek);
    if (!m_context) av_free(buffer);
}

FFmpegFileInput::~FFmpegFileInput() {
    if (m_context) {
        av_freep(&m_context->buffer);
        avio_context_free(&m_context);
    }
    ::close(m_descriptor);
}

std::int64_t FFmpegFileInput::readAt(std::int64_t offset, std::uint8_t* into, std::int64_t size) const {
    const std::int64_t got = readFully(m_descriptor, offset, into, size);
    for (const auto& patch : m_patches) {
        const std::int64_t patchEnd = patch.offset + static_cast<std::int64_t>(patch.bytes.size());
        const std::int64_t from = std::max(offset, patch.offset);
        const std::int64_t to = std::min(offset + got, patchEnd);
        if (from < to)
            std::memcpy(into + (from - offset), patch.bytes.data() + (from - patch.offset),
                        static_cast<std::size_t>(to - from));
    }
    return got;
}

int FFmpegFileInput::readPacket(void* opaque, std::uint8_t* into, int size) {
    auto& input = *static_cast<FFmpegFileInput*>(opaque);
    const std::int64_t got = input.readAt(input.m_position, into, size);
    if (got < 0) return AVERROR(EIO);
    if (got == 0) return AVERROR_EOF;
    input.m_position += got;
    return static_cast<int>(got);
}

std::int64_t FFmpegFileInput::seek(void* opaque, std::int64_t offset, int whence) {
    auto& input = *static_cast<FFmpegFileInput*>(opaque);
    std::int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return input.m_size;
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = input.m_position + offset; break;
        case SEEK_END: target = input.m_size + offset; break;
        default: return AVERROR(EINVAL);
    }
    if (target < 0) return AVERROR(EINVAL);
    input.m_position = target;
    return target;
}

}  // namespace reelhaven
