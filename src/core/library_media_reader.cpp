#include "core/library_media_reader.h"

#include <fcntl.h>

#include "platform/base/log.h"
#include "platform/foundation/file_descriptor.h"

namespace reelhaven {

namespace channel = media_helper_channel;

LibraryMediaReader::LibraryMediaReader(MediaHelperPool& pool, std::shared_ptr<RefusedMedia> refused)
    : m_pool(pool), m_refused(std::move(refused)) {}

LibraryMediaReader LibraryMediaReader::forCaches(const std::string& cachesFolder) {
    return LibraryMediaReader(MediaHelperPool::shared(),
                              cachesFolder.empty() ? nullptr : RefusedMedia::at(cachesFolder + "/" + kRefusedFileName));
}

FFmpegUtility::Metadata LibraryMediaReader::metadata(const std::string& path) const {
    auto answer = read(channel::Request::metadata, path);
    return {std::move(answer.thumbnail), answer.duration};
}

double LibraryMediaReader::duration(const std::string& path) const {
    return read(channel::Request::duration, path).duration;
}

MediaHelperPool::Answer LibraryMediaReader::read(channel::Request request, const std::string& path) const {
    // Not blocking: a pipe under a video's name would hold the open for ever; the helper takes only
    // regular files.
    const foundation::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file) return {};
    const auto identity = RefusedMedia::identityOf(file.get());
    if (!identity) return {};
    if (m_refused && m_refused->contains(*identity)) return {channel::Outcome::refused, -1, nullptr};
    auto answer = m_pool.ask(request, file.get(), path);
    if (answer.outcome == channel::Outcome::refused) {
        base::log(base::LogLevel::error, "FFmpeg", "FFmpeg error: reading took a helper past its limits");
        if (m_refused) m_refused->add(*identity);
        answer.duration = -1;
        answer.thumbnail = nullptr;
    }
    return answer;
}

}  // namespace reelhaven
