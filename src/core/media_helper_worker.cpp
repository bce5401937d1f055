#include "core/media_helper_worker.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include "core/allocation_failures.h"
#include "core/ffmpeg_utility.h"
#include "core/media_helper_channel.h"
#include "platform/graphics/image.h"

namespace reelhaven {

namespace {

namespace channel = media_helper_channel;

// What the line `field` of /proc/self/status gives, in bytes; -1 when it is missing.
std::int64_t statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::stoll(line.substr(length + 1)) * 1024;
    return -1;
}

// A read that came this close to a limit of `memoryBytes` was stopped by it.
std::int64_t limitReach(std::int64_t memoryBytes) { return std::min(std::int64_t{24} << 20, memoryBytes / 8); }

channel::Answer metadataAnswer(const FFmpegUtility::Metadata& metadata) {
    channel::Answer answer{channel::Outcome::read, metadata.duration, 0, 0, {}};
    if (const auto& image = metadata.thumbnail; image && !image->isEmpty()) {
        answer.width = image->width();
        answer.height = image->height();
        answer.pixels.resize(static_cast<std::size_t>(answer.width) * static_cast<std::size_t>(answer.height) * 4);
        const std::size_t rowBytes = static_cast<std::size_t>(answer.width) * 4;
        for (int y = 0; y < answer.height; ++y)
            std::memcpy(answer.pixels.data() + static_cast<std::size_t>(y) * rowBytes, image->row(y), rowBytes);
    }
    return answer;
}

channel::Answer clearanceAnswer(FFmpegUtility::Probe probe) {
    switch (probe) {
        case FFmpegUtility::Probe::opened: return {channel::Outcome::read, -1, 0, 0, {}};
        case FFmpegUtility::Probe::refused: return {channel::Outcome::refused, -1, 0, 0, {}};
        case FFmpegUtility::Probe::unreadable: break;
    }
    return {channel::Outcome::unreadable, -1, 0, 0, {}};
}

}  // namespace

MediaHelperWorker::MediaHelperWorker(int socket, std::int64_t memoryBytes, unsigned secondsPerFile)
    : m_socket(socket), m_memoryBytes(memoryBytes), m_secondsPerFile(secondsPerFile) {}

int MediaHelperWorker::serve() {
    // Counted from what the process holds now: the libraries' data and, in a sanitizer's build,
    // the shadow it reserved at start (an address-space limit would leave it no room for that).
    const std::int64_t data = statusBytes("VmData");
    m_startSize = statusBytes("VmSize");
    if (data < 0 || m_startSize < 0) return 1;
    const rlimit limit{static_cast<rlim_t>(data + m_memoryBytes), static_cast<rlim_t>(data + m_memoryBytes)};
    if (::setrlimit(RLIMIT_DATA, &limit) != 0) return 1;

    while (auto incoming = channel::receiveRequest(m_socket)) {
        // The default action of the alarm ends the process: a helper whose app is gone stops.
        ::alarm(m_secondsPerFile);
        takeAllocationFailure();
        channel::Answer answer;
        switch (incoming->request) {
            case channel::Request::duration:
                answer = {channel::Outcome::read,
                          FFmpegUtility::getDurationForDescriptor(incoming->descriptor, incoming->name),
                          0,
                          0,
                          {}};
                break;
            case channel::Request::metadata:
                answer = metadataAnswer(FFmpegUtility::getMetadataForDescriptor(incoming->descriptor, incoming->name));
                break;
            case channel::Request::clearance:
                answer = clearanceAnswer(FFmpegUtility::probeDescriptor(incoming->descriptor, incoming->name));
                break;
        }
        ::alarm(0);
        ::close(incoming->descriptor);
        // A refused allocation means the file wants more than the limit, whatever FFmpeg made of
        // what it got; a read that failed having come near the limit failed for it too.
        const bool refusedMemory = takeAllocationFailure();
        const bool spent = refusedMemory || nearLimit();
        const bool incomplete = answer.outcome != channel::Outcome::read ||
                                (incoming->request != channel::Request::clearance && answer.duration <= 0) ||
                                (incoming->request == channel::Request::metadata && answer.pixels.empty());
        if (refusedMemory || (spent && incomplete)) answer = {channel::Outcome::refused, -1, 0, 0, {}};
        answer.leaving = spent;
        if (!channel::sendAnswer(m_socket, answer)) return 0;
        if (spent) return 0;
        // What the file's read freed goes back to the system: the next file starts from the same.
        ::malloc_trim(0);
    }
    return 0;
}

bool MediaHelperWorker::nearLimit() const {
    const std::int64_t peak = statusBytes("VmPeak");
    return peak < 0 || peak - m_startSize >= m_memoryBytes - limitReach(m_memoryBytes);
}

}  // namespace reelhaven
